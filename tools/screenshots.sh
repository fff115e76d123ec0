#!/bin/sh
# Takes docs/about.png and docs/settings.png from the real build: runs
# dialog_shots.exe (tools/ScreenshotMain.cpp) under Wine on a private X
# display, which opens each dialog of Vario.tfe with Japanese rules loaded,
# and crops the dialog out of an image of the whole screen.
# usage: screenshots.sh [BUILD_DIR]   (after make build)
set -e
root=$(cd "$(dirname "$0")/.." && pwd)

if [ "$1" != "--on-display" ]; then
    build=$(cd "${1:-$root/build}" && pwd)
    exec xvfb-run -a -s "-screen 0 1280x1024x24" sh "$0" --on-display "$build"
fi
build=$2

# The pictures are taken in a prefix of their own, with the fonts of
# wine-fonts.sh: they change the dialogs' sizes, which the tests check in
# the test prefix.
export VARIO_WINE_PREFIX=wineprefix-shots VARIO_FONTS=1

shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT

sh "$root/tools/wine-test.sh" "$build/dialog_shots.exe" "Z:$(echo "$shots" | tr / '\\')" &
program=$!

for name in about settings; do
    waited=0
    until [ -s "$shots/$name.rect" ]; do
        sleep 0.2
        waited=$((waited + 1))
        [ $waited -lt 300 ] || { echo "screenshots: no $name dialog" >&2; exit 1; }
    done
    read -r x y w h < "$shots/$name.rect"
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$root/docs/$name.png"
    touch "$shots/$name.done"
    echo "docs/$name.png: ${w}x${h}"
done
wait $program
