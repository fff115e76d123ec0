#!/bin/sh
# Tries the engine on a definition file and a file of captions, in the
# build tree's Wine prefix of make run, and prints the before -> after table;
# with --check, checks a file of expected captions; with --coverage, lists
# the rules that change none of the captions. Needs no display.
# usage: wine-run.sh BUILD_DIR DEFINITION_FILE CAPTIONS_FILE
#        wine-run.sh BUILD_DIR DEFINITION_FILE --check EXPECTED_FILE
#        wine-run.sh BUILD_DIR DEFINITION_FILE --coverage CAPTIONS_FILE
set -e
build=$1 def=$2 mode=${4:+$3} file=${4:-$3}
target=${mode:-run}
for each in "$def" "$file"; do
    [ -f "$each" ] || { echo "make ${target#--}: no such file: $each" >&2; exit 1; }
done
[ -f "$build/wineprefix-run/.vario-ready" ] || echo "make ${target#--}: preparing the Wine prefix $build/wineprefix-run (first run only)..." >&2
# The host's dialogs and the engine's message boxes are not wanted here:
# without a display the host reports a file that does not load itself.
unset DISPLAY WAYLAND_DISPLAY
[ -n "$mode" ] && BUILD=$build exec sh "$(dirname "$0")/vario-try.sh" --def "$def" "$mode" "$file"
BUILD=$build exec sh "$(dirname "$0")/vario-try.sh" --show --def "$def" <"$file"
