#!/usr/bin/env bash
# Counts the lines of code and of tests: non-blank lines that are not only a comment,
# in C++ sources, Python and shell scripts and CMake lists. The code is src/ and
# tools/; the tests are tests/ (the benchmarks and fuzz targets count as neither).
#
#   tools/count-lines.sh
set -euo pipefail
cd "$(dirname "$0")/.."

count() {
    git ls-files -- "$@" | grep -E '(\.(cpp|h|py|sh)|CMakeLists\.txt)$' | while read -r file; do
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

code=$(count src tools)
tests=$(count tests)
echo "code (src, tools): $code"
echo "tests:             $tests"
awk -v t="$tests" -v c="$code" 'BEGIN { printf "tests / code:      %.0f %%\n", 100 * t / c }'
