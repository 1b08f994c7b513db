#!/usr/bin/env bash
# The size of the tests against the size of the code, in non-blank lines of C++ and QML/JS
# tracked by git: code = everything outside tests/ and bench/; tests = tests/.
# Usage: scripts/test-budget.sh [--max RATIO]   (exits 1 when the ratio is over RATIO)
set -eu
cd "$(dirname "$0")/.."
max=""
[ "${1:-}" = "--max" ] && max=${2:-}
files() { git ls-files | grep -E '\.(cpp|h|hpp|qml|js)$'; }
count() { xargs -r cat 2>/dev/null | grep -cvE '^\s*$' || true; }
code=$(files | grep -vE '^(tests?|bench)/' | count)
tests=$(files | grep -E '^tests?/' | count)
[ "${code:-0}" -gt 0 ] || { echo "no code"; exit 1; }
ratio=$(awk -v t="$tests" -v c="$code" 'BEGIN { printf "%.2f", t / c }')
echo "code $code lines, tests $tests lines, tests/code $ratio"
echo "largest test files:"
files | grep -E '^tests?/' | while read -r f; do printf '%6d %s\n' "$(grep -cvE '^\s*$' "$f" || true)" "$f"; done | sort -rn | head -8
if [ -n "$max" ]; then
  awk -v r="$ratio" -v m="$max" 'BEGIN { exit !(r <= m) }' || { echo "over the budget of $max"; exit 1; }
fi
