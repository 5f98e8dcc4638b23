#!/usr/bin/env bash
# Counts the lines of code and of tests: non-blank lines that are not only a comment.
# The measure is the C++ sources; the scripts (Python, shell, CMake) are shown beside
# it. The code is src/ and tools/; the tests are tests/ (the benchmarks and fuzz
# targets count as neither).
#
#   tools/count-lines.sh
set -euo pipefail
cd "$(dirname "$0")/.."

count() {
    local pattern=$1
    shift
    git ls-files -- "$@" | grep -E "$pattern" | while read -r file; do
        case "$file" in
        *.cpp | *.h) awk '
            /^[ \t]*\/\*/ { comment = 1 }
            comment { if ($0 ~ /\*\//) comment = 0; next }
            /^[ \t]*(\/\/.*)?$/ { next }
            { n++ } END { print n + 0 }' "$file" ;;
        *) awk '/^[ \t]*(#.*)?$/ { next } { n++ } END { print n + 0 }' "$file" ;;
        esac
    done | awk '{ total += $1 } END { print total + 0 }'
}

cpp='\.(cpp|h)$'
scripts='(\.(py|sh)|CMakeLists\.txt)$'
code=$(count "$cpp" src tools)
tests=$(count "$cpp" tests)
echo "C++ code (src, tools): $code"
echo "C++ tests:             $tests"
awk -v t="$tests" -v c="$code" 'BEGIN { printf "tests / code:          %.0f %%\n", 100 * t / c }'
echo "scripts: code $(count "$scripts" src tools), tests $(count "$scripts" tests)"
