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

# The pictures are taken in a prefix of their own: the fonts set here
# change the dialogs' sizes, which the tests check in the test prefix.
# The dialogs ask for "ＭＳ Ｐゴシック" and the title bar for "MS UI Gothic";
# this prefix draws both with the proportional IPA P Gothic, whose metrics
# are close to theirs.
export VARIO_WINE_PREFIX=wineprefix-shots
export WINEPREFIX="$build/$VARIO_WINE_PREFIX" WINEARCH=win32 WINEDEBUG=-all LC_ALL=ja_JP.UTF-8
unset LANG LANGUAGE
for face in "ＭＳ Ｐゴシック" "MS PGothic" "MS UI Gothic"; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d IPAPGothic /f >/dev/null 2>&1
done

# Wine draws the title bar's close box with a glyph of its Marlett font. This
# Wine looks for its own fonts in a folder it cannot open (/usr/share/wine
# "../fonts" spelled with a slash), so without this copy in the prefix's
# font folder the glyph's letter "r" is drawn instead.
cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"

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
