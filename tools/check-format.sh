#!/bin/sh
# Checks every C and C++ file of the repository against its .clang-format:
# names each file that drifts, and fails when one does.
# usage: check-format.sh (from anywhere in the checkout)
cd "$(dirname "$0")/.."
count=0
differ=0
for file in $(git ls-files '*.cpp' '*.h' '*.c'); do
    count=$((count + 1))
    clang-format --dry-run --Werror "$file" >/dev/null 2>&1 || {
        echo "$file differs from .clang-format (clang-format -i $file)"
        differ=$((differ + 1))
    }
done
echo "$differ of $count files differ from .clang-format"
[ $differ = 0 ]
