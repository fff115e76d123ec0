#!/bin/sh
# make run, make check and make coverage: checks the user's files, builds
# the engine and the console host (quietly: the build's output goes to a
# log, shown when the build fails) and runs the host in the Wine prefix of
# tools/vario-try.sh. make run prints the before -> after table of a file of
# captions; --check checks a file of expected captions; --coverage lists the
# rules that change none of the captions. Needs no display.
# usage: wine-run.sh BUILD_DIR DEFINITION_FILE CAPTIONS_FILE
#        wine-run.sh BUILD_DIR DEFINITION_FILE --check EXPECTED_FILE
#        wine-run.sh BUILD_DIR DEFINITION_FILE --coverage CAPTIONS_FILE
set -e
build=$1 def=$2 mode=${4:+$3} file=${4:-$3}
mode_name=${mode:---run}
target="make ${mode_name#--}"
for each in "$def" "$file"; do
    [ -f "$each" ] || { echo "$target: no such file: $each" >&2; exit 1; }
done
iconv -f UTF-8 -t UTF-8 "$file" >/dev/null 2>&1 || {
    echo "$target: $file is not UTF-8 text; save it as UTF-8, e.g. from Shift-JIS:" \
        "iconv -f CP932 -t UTF-8 $file > utf8-$(basename "$file")" >&2
    exit 1
}
log=$build/make-run.log
[ -f "$build/vario-try.exe" ] ||
    echo "$target: building the engine and the console host (first run only, about a minute)..." >&2
cmake --build "$build" -j2 --target Vario vario-try >"$log" 2>&1 || {
    cat "$log" >&2
    echo "$target: the build failed (its output is above, and in $log)" >&2
    exit 1
}
# The host's dialogs and the engine's message boxes are not wanted here:
# without a display the host reports a file that does not load itself.
unset DISPLAY WAYLAND_DISPLAY
[ -n "$mode" ] && BUILD=$build exec sh "$(dirname "$0")/vario-try.sh" --def "$def" "$mode" "$file"
BUILD=$build exec sh "$(dirname "$0")/vario-try.sh" --show --def "$def" <"$file"
