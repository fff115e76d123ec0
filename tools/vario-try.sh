#!/bin/sh
# Runs the console host vario-try.exe under Wine, in code page 932, from any
# folder: the build tree is BUILD, or else build/ in the project's folder.
# It runs in the Wine prefix of make run, build/wineprefix-run, apart from
# the tests' prefix, with the fonts of the pictures docs/*.png.
# usage: tools/vario-try.sh [OPTIONS] [CAPTION...]  (BUILD=dir)
root=$(cd "$(dirname "$0")/.." && pwd)
export VARIO_WINE_PREFIX=wineprefix-run VARIO_FONTS=1
exec sh "$root/tools/wine-test.sh" "${BUILD:-$root/build}/vario-try.exe" "$@"
