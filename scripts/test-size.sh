#!/usr/bin/env bash
# Counts the lines of code that are neither blank nor comments in the .cpp,
# .h, .py and .sh files of the tests (tests/, fuzz/) and of the code they
# guard (src/, tools/, bench/), and prints the tests' share. The owner asks
# for tests of about a quarter to a third of the code.
set -euo pipefail
cd "$(dirname "$0")/.."
count() {
    find "$@" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.py' -o -name '*.sh' \) -print0 |
        xargs -0 awk '
            FNR == 1 { block = 0; hash = (FILENAME ~ /\.(py|sh)$/) }
            {
                line = $0
                sub(/^[ \t]+/, "", line)
                if (line == "") next
                if (hash) { if (line !~ /^#/) n++; next }
                if (block) { if (index(line, "*/")) block = 0; next }
                if (line ~ /^\/\//) next
                if (line ~ /^\/\*/) { if (!index(line, "*/")) block = 1; next }
                n++
            }
            END { print n + 0 }' |
        awk '{ sum += $1 } END { print sum + 0 }'
}
tests=$(count tests fuzz)
code=$(count src tools bench)
echo "tests: $tests lines, code: $code lines, tests/code: $(awk -v t="$tests" -v c="$code" 'BEGIN { printf "%.0f%%", 100 * t / c }')"
