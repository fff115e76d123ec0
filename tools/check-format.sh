#!/bin/sh
# Checks every C and C++ file of the repository against its .clang-format:
# names each file that drifts, and fails when one does.
# usage: check-format.sh (from anywhere in the checkout)
cd "$(dirname "$0")/.."
status=0
count=0
for file in $(git ls-files '*.cpp' '*.h' '*.c'); do
    count=$((count + 1))
    clang-format --dry-run --Werror "$file" >/dev/null 2>&1 || {
        echo "format: $file differs from .clang-format (clang-format -i $file)"
        status=1
    }
done
[ $status = 0 ] && echo "format: $count files as .clang-format has them"
exit $status
