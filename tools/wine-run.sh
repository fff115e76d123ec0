#!/bin/sh
# make run, check, coverage and record: checks the user's files, builds the
# engine and the console host (quietly: the build's output goes to a log,
# shown when the build fails) and runs the host in the Wine prefix of
# tools/vario-try.sh. make run prints the before -> after table of a file of
# captions; --check checks a file of expected captions; --coverage lists the
# rules that change no caption; --record writes the expected
# captions file of a file of captions. Needs no display. A file that is
# missing or not UTF-8 ends it with the status vario-try gives it.
# usage: wine-run.sh BUILD_DIR DEFINITION_FILE CAPTIONS_FILE
#        wine-run.sh BUILD_DIR DEFINITION_FILE --check|--coverage|--record FILE
# With DEF_GIVEN=1 (the user named DEF), FILE_GIVEN must be 1 too: the
# example's files are never used with the user's rules. UNUSED names a file
# variable the user gave that this target does not read.
set -e
build=$1 def=$2 mode=${4:+$3} file=${4:-$3}
mode_name=${mode:---run}
target="make ${mode_name#--}"
case $mode in
--check) variable=EXPECTED what="expected captions" other="make run, coverage and record read" ;;
*) variable=CAPTIONS what=captions other="make check reads" ;;
esac
mine=my-$(echo "$variable" | tr A-Z a-z).txt
if [ -n "$UNUSED" ]; then
    echo "$target: $UNUSED is not read by $target, which reads DEF and $variable" \
        "($other $UNUSED)" >&2
    exit 1
fi
if [ "$DEF_GIVEN" = 1 ] && [ "$FILE_GIVEN" != 1 ]; then
    echo "$target: DEF=$def names your rules, but $variable is not given, and the example's" \
        "$what are not meant for them; type: $target DEF=$def $variable=$mine" >&2
    [ "$mode" = --check ] && echo "(make record DEF=$def CAPTIONS=my-captions.txt >" \
        "my-expected.txt writes one from your captions)" >&2
    exit 1
fi
# A path as the shell reads it back: quoted when it holds more than letters,
# digits and . _ / -.
quoted() {
    case $1 in
    *[!A-Za-z0-9._/-]*) printf "'%s'" "$(printf %s "$1" | sed "s/'/'\\\\''/g")" ;;
    *) printf %s "$1" ;;
    esac
}
# Says what is wrong with a file that is not a readable file, and ends with
# the status given.
refuse() {
    if [ -d "$1" ]; then
        echo "$target: $1 is a folder, not a file" >&2
    else
        echo "$target: no such file: $1" >&2
    fi
    exit "$2"
}
[ -f "$def" ] || refuse "$def" 3
[ -f "$file" ] || refuse "$file" 4
iconv -f UTF-8 -t UTF-8 "$file" >/dev/null 2>&1 || {
    case $file in
    */*) copy=${file%/*}/utf8-${file##*/} ;;
    *) copy=utf8-$file ;;
    esac
    # Notepad's "Unicode" text is UTF-16 behind a byte order mark.
    case $(head -c 2 "$file" | od -An -tx1 | tr -d ' ') in
    fffe | feff) what="UTF-16 text, not UTF-8; save it as UTF-8:" from=UTF-16 ;;
    *) what="not UTF-8 text; save it as UTF-8, e.g. from Shift-JIS:" from=CP932 ;;
    esac
    echo "$target: $file is $what" \
        "iconv -f $from -t UTF-8 $(quoted "$file") > $(quoted "$copy")" >&2
    [ -n "$mode" ] && exit 4
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
echo "$target: the rules of $def on the captions of $file" >&2
BUILD=$build exec sh "$(dirname "$0")/vario-try.sh" --show --def "$def" <"$file"
