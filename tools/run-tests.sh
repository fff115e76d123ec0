#!/bin/sh
# Runs every test of a build on a private X display, then the framework,
# engine and module tests of a debug build (BUILD_DIR/debug), whose asserts
# run, and then the whole suite again with Wine's heap checks on. The output
# ends with the pass/fail count of each run.
# usage: run-tests.sh BUILD_DIR [CTEST_ARGS...]
set -e
source=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
[ $# -gt 0 ] && shift
cd "$build"
status=0
echo "== tests"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure "$@" || status=1
echo "== framework, engine and module tests of a debug build (asserts on)"
cmake -S "$source" -B debug -DCMAKE_TOOLCHAIN_FILE="$source/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build debug -j2 --target framework_tests engine_tests module_tests >/dev/null
(cd debug && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure \
    -R '^(framework|engine|module)$' "$@") || status=1
echo "== tests with heap checking"
# Full heap validation is slow: the randomized comparison runs fewer files.
VARIO_HEAP_CHECK=1 VARIO_DIFF_COUNT=200 xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --output-on-failure -LE no_heap_check "$@" || status=1
exit $status
