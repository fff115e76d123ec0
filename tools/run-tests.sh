#!/bin/sh
# Runs every test of a build but those labelled heap_checked_only and, at the
# same time, those not labelled no_heap_check with Wine's heap checks on (see
# wine-test.sh). The two runs share nothing: each has its own X display, Wine
# prefix (registry and scratch folders) and wineserver. The plain run prints
# as it goes, the heap-checked one when it is done; the output ends with the
# pass/fail count of each run, and a failing run fails the whole. The format
# of the code is checked first (check-format.sh), and counts as a run.
# usage: run-tests.sh BUILD_DIR [CTEST_ARGS...]
set -e
tools=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
[ $# -gt 0 ] && shift
cd "$build"
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT

(
    VARIO_HEAP_CHECK=1 xvfb-run -a -s "-screen 0 1280x1024x24" \
        ctest --output-on-failure -LE no_heap_check "$@" >"$logs/heap" 2>&1 &&
        touch "$logs/heap.passed"
) &
echo "== format"
sh "$tools/check-format.sh" >"$logs/format" 2>&1 && touch "$logs/format.passed"
cat "$logs/format"
echo "== tests"
(
    xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -LE heap_checked_only "$@" 2>&1 &&
        touch "$logs/plain.passed"
) | tee "$logs/plain"
wait
echo "== tests with heap checking"
cat "$logs/heap"

echo "== counts"
status=0
echo "format: $(tail -n 1 "$logs/format")"
[ -e "$logs/format.passed" ] || status=1
for run in plain heap; do
    [ "$run" = plain ] && name="tests" || name="tests with heap checking"
    count=$(grep -E '[0-9]+% tests passed' "$logs/$run" || echo "no count: the run ended early")
    echo "$name: $count"
    [ -e "$logs/$run.passed" ] || status=1
done
exit $status
