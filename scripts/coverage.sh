#!/usr/bin/env bash
# Builds Coffret with gcc's coverage instrumentation in its own folder, runs the whole CTest
# suite there and prints line and function coverage per source folder.
# Usage: scripts/coverage.sh [BUILD_DIR [TEST_REGEX]]
#   default build-coverage, every test; HTML in BUILD_DIR/coverage/. A regex runs only the
#   matching tests, to see what a group of tests covers before and after it changes.
set -euo pipefail
cd "$(dirname "$0")/.."
src=$(pwd)
out=${1:-build-coverage}
only=()
[ -n "${2:-}" ] && only=(-R "$2")
folders=(core jobs library secrets services app)

cmake -S . -B "$out" -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_FLAGS=--coverage -DCMAKE_CXX_FLAGS=--coverage \
  -DCMAKE_EXE_LINKER_FLAGS=--coverage -DCMAKE_SHARED_LINKER_FLAGS=--coverage
cmake --build "$out" -j "$(nproc)"
lcov --quiet --zerocounters --directory "$out"
(cd "$out" && ctest -j "$(nproc)" --timeout 600 "${only[@]}") || echo "some tests failed; coverage below counts what ran"

info="$out/coverage.info"
lcov --quiet --capture --directory "$out" --output-file "$info.all"
# Only the project's own sources: no system headers, tests, benchmarks or generated moc files.
patterns=()
for f in "${folders[@]}"; do patterns+=("$src/$f/*"); done
lcov --quiet --extract "$info.all" "${patterns[@]}" --output-file "$info"
genhtml --quiet --output-directory "$out/coverage" "$info" >/dev/null

printf '%-10s %8s %8s\n' folder lines functions
for f in "${folders[@]}"; do
  lcov --quiet --extract "$info" "$src/$f/*" --output-file "$info.$f" 2>/dev/null
  lcov --summary "$info.$f" 2>&1 | awk -v f="$f/" '
    /lines\.*:/ { l = $2 } /functions\.*:/ { fn = $2 }
    END { printf "%-10s %8s %8s\n", f, l, fn }'
done
echo "report: $out/coverage/index.html"
