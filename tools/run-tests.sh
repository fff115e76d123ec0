#!/bin/sh
# Runs every test of a build on a private X display, then the whole suite
# again with Wine's heap checks on. The output ends with the pass/fail
# count of both runs.  usage: run-tests.sh BUILD_DIR [CTEST_ARGS...]
set -e
build=${1:-build}
[ $# -gt 0 ] && shift
cd "$build"
status=0
echo "== tests"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure "$@" || status=1
echo "== tests with heap checking"
# Full heap validation is slow: the randomized comparison runs fewer files.
VARIO_HEAP_CHECK=1 VARIO_DIFF_COUNT=200 xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --output-on-failure -LE no_heap_check "$@" || status=1
exit $status
