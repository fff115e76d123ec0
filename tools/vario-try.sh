#!/bin/sh
# Runs the console host build/vario-try.exe under Wine, in code page 932 and
# in the build tree's private Wine prefix, with the given options and
# captions.  usage: tools/vario-try.sh [OPTIONS] [CAPTION...]  (BUILD=dir)
exec sh "$(dirname "$0")/wine-test.sh" "${BUILD:-build}/vario-try.exe" "$@"
