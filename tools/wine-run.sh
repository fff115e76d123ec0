#!/bin/sh
# make run: checks the user's files, builds the engine and the console host
# (quietly: the build's output goes to a log, shown when the build fails)
# and tries the engine on a definition file and a file of captions, in the
# Wine prefix of tools/vario-try.sh, printing the before -> after table.
# Needs no display.  usage: wine-run.sh BUILD_DIR DEFINITION_FILE CAPTIONS_FILE
set -e
build=$1 def=$2 captions=$3
for file in "$def" "$captions"; do
    [ -f "$file" ] || { echo "make run: no such file: $file" >&2; exit 1; }
done
iconv -f UTF-8 -t UTF-8 "$captions" >/dev/null 2>&1 || {
    echo "make run: $captions is not UTF-8 text; save it as UTF-8, e.g. from Shift-JIS:" \
        "iconv -f CP932 -t UTF-8 $captions > captions-utf8.txt" >&2
    exit 1
}
log=$build/make-run.log
[ -f "$build/vario-try.exe" ] ||
    echo "make run: building the engine and the console host (first run only, about a minute)..." >&2
cmake --build "$build" -j2 --target Vario vario-try >"$log" 2>&1 || {
    cat "$log" >&2
    echo "make run: the build failed (its output is above, and in $log)" >&2
    exit 1
}
# The host's dialogs and the engine's message boxes are not wanted here:
# without a display the host reports a file that does not load itself.
unset DISPLAY WAYLAND_DISPLAY
BUILD=$build exec sh "$(dirname "$0")/vario-try.sh" --show --def "$def" <"$captions"
