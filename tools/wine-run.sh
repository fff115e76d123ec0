#!/bin/sh
# Tries the engine on a definition file and a file of captions, in the
# build tree's Wine prefix of make run, and prints the before -> after table.
# Needs no display.  usage: wine-run.sh BUILD_DIR DEFINITION_FILE CAPTIONS_FILE
set -e
build=$1 def=$2 captions=$3
for file in "$def" "$captions"; do
    [ -f "$file" ] || { echo "make run: no such file: $file" >&2; exit 1; }
done
[ -f "$build/wineprefix-run/.vario-ready" ] || echo "make run: preparing the Wine prefix $build/wineprefix-run (first run only)..." >&2
# The host's dialogs and the engine's message boxes are not wanted here:
# without a display the host reports a file that does not load itself.
unset DISPLAY WAYLAND_DISPLAY
BUILD=$build exec sh "$(dirname "$0")/vario-try.sh" --show --def "$def" <"$captions"
