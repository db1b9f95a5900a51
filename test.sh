#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test twice: a normal build, then a build with
# AddressSanitizer and UndefinedBehaviorSanitizer; then runs each fuzz target for 10 s (clang build).
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-dependencies.sh

jobs=$(nproc)
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT

echo "== normal build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs" | tee "$logs/normal"

echo "== sanitizer build"
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSCENARIO_SANITIZE=ON -DSCENARIO_BENCHMARKS=OFF
cmake --build build-sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 LSAN_OPTIONS=suppressions=$(pwd)/tests/lsan.supp:print_suppressions=0 \
  ctest --test-dir build-sanitize --output-on-failure -j "$jobs" | tee "$logs/sanitize"

echo "== fuzz targets, 10 s each"
./fuzz.sh 10

# One closing line for both test runs (ctest stops the script above when a test fails).
cat "$logs/normal" "$logs/sanitize" |
  sed -nE 's/.* ([0-9]+) tests failed out of ([0-9]+)$/\1 \2/p' |
  awk '{ failed += $1; total += $2 } END { printf "tests: %d passed, %d failed\n", total - failed, failed }'
