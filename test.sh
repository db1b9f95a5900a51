#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test twice: a normal build, then a build with
# AddressSanitizer and UndefinedBehaviorSanitizer; then the Windows build (cross-compiled with MinGW-w64)
# with its unit tests and its whole-program comparison with the Linux build under Wine; then runs each
# fuzz target for 10 s (clang build).
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

echo "== Windows build, tested under Wine"
if command -v x86_64-w64-mingw32-g++-posix >/dev/null && [ -x /usr/lib/wine/wine64 ]; then
  windows_started=$(date +%s)
  cmake -S . -B build-windows -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DSCENARIO_LINUX_EXECUTABLE="$(pwd)/build/scenario"
  cmake --build build-windows -j "$jobs"
  # The first start of a new Wine prefix makes it; the tests then share it.
  (unset DISPLAY WAYLAND_DISPLAY; WINEDEBUG=-all WINEPREFIX="$(pwd)/build-windows/wine-prefix" \
    /usr/lib/wine/wine64 build-windows/scenario.exe --version >/dev/null)
  ctest --test-dir build-windows --output-on-failure -j "$jobs" | tee "$logs/windows"
  echo "Windows build and its tests under Wine: $(($(date +%s) - windows_started)) s"
else
  echo "skipped: no MinGW-w64 cross compiler or no wine64 (scripts/install-dependencies.sh installs them)"
fi

echo "== fuzz targets, 10 s each"
./fuzz.sh 10

# One closing line for every test run (ctest stops the script above when a test fails).
cat "$logs"/* |
  sed -nE 's/.* ([0-9]+) tests failed out of ([0-9]+)$/\1 \2/p' |
  awk '{ failed += $1; total += $2 } END { printf "tests: %d passed, %d failed\n", total - failed, failed }'
