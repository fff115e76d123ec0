#!/bin/sh
# Runs the console host vario-try.exe under Wine, in code page 932, from any
# folder: the build tree is BUILD, or else build/ in the project's folder.
# It runs in the Wine prefix of make run, build/wineprefix-run, apart from
# the tests' prefix, with the fonts of the pictures docs/*.png. The host's
# advice names the command as typed here (VARIO_TRY_COMMAND).
# usage: tools/vario-try.sh [OPTIONS] [CAPTION...]  (BUILD=dir)
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$root/build}
[ -f "$build/wineprefix-run/.vario-ready" ] ||
    echo "vario-try: preparing the Wine prefix $build/wineprefix-run (first run only, about 20 s)..." >&2
# Wine runs in a Japanese locale here, for code page 932, so its interface
# language is always Japanese: the messages follow the user's own locale
# instead (a later --lang still chooses).
case ${LC_ALL:-${LC_MESSAGES:-$LANG}} in
ja*) ;;
*) set -- --lang en "$@" ;;
esac
export VARIO_WINE_PREFIX=wineprefix-run VARIO_FONTS=1 VARIO_TRY_COMMAND="sh $0"
exec sh "$root/tools/wine-test.sh" "$build/vario-try.exe" "$@"
