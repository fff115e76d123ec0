#!/bin/sh
# Runs every test of a build on a private X display; the output ends with
# the pass/fail count.  usage: run-tests.sh BUILD_DIR
set -e
build=${1:-build}; [ $# -gt 0 ] && shift
cd "$build"
exec xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure "$@"
