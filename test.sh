#!/usr/bin/env bash
# The tests, whole or in part.
#
#   ./test.sh            everything CI runs: installs what is missing, then the layout check of the C++
#                        files (scripts/format.sh --check), a normal build (-Werror) and every test; a
#                        build with AddressSanitizer and UndefinedBehaviorSanitizer and every test again;
#                        the Windows build (cross-compiled with MinGW-w64) with its unit tests and its
#                        whole-program comparison with the Linux build under Wine; each fuzz target for
#                        10 s (clang build)
#   ./test.sh quick      the Release build (build/) of what the change touches, and its tests: the layers
#                        of src/ whose files changed since the merge base with main (QUICK_BASE=REV for
#                        another base), uncommitted and untracked files included; the whole-program tests
#                        when src/app, tests/ or the build changed
#   ./test.sh format     the layout check alone: every C++ file as .clang-format lays it out
#   ./test.sh LABEL...   the tests of these ctest labels only, after building what they need: a layer
#                        (platform, scenario, compiler, ...), `program` (the whole program), `golden` (the
#                        program's messages kept in tests/golden/), `structure` (the layers test)
set -euo pipefail
cd "$(dirname "$0")"

jobs=$(nproc)

# The Release build of the loop: configured once, then only what changed is built again.
configure_release() {
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DSCENARIO_WERROR=ON > /dev/null
}

# The layers of src/, from the build's own list (cmake/layers.cmake records each with what it uses).
layers_of_build() {
  sed -nE 's/^layer ([a-z_]+):.*/\1/p' build/layers.txt
}

# The labels that a list of changed paths touches.
labels_of_change() {
  local -A labels=()
  local path folder
  while IFS= read -r path; do
    case "$path" in
      src/*/*)
        folder=${path#src/}
        folder=${folder%%/*}
        labels[$folder]=1
        [ "$folder" = app ] && labels[program]=1
        ;;
      tests/*|CMakeLists.txt|cmake/*) labels[program]=1 ;;
    esac
  done
  printf '%s\n' "${!labels[@]}" | sort
}

# Builds what the labels' tests need and runs them.
run_labels() {
  configure_release
  local -a targets=() regex=()
  local label
  for label in "$@"; do
    case "$label" in
      program|golden) targets+=(all) ;;
      structure) ;;
      *)
        if ! layers_of_build | grep -qx "$label"; then
          echo "test.sh: no layer or label '$label' (layers: $(layers_of_build | tr '\n' ' '); labels: program golden structure)" >&2
          exit 2
        fi
        # A layer without tests of its own has no target of them.
        if ninja -C build -t targets all 2>/dev/null | grep -q "^${label}_tests:"; then targets+=("${label}_tests"); fi
        ;;
    esac
    regex+=("^${label}\$")
  done
  if [ ${#targets[@]} -gt 0 ]; then
    if printf '%s\n' "${targets[@]}" | grep -qx all; then targets=(all); fi
    cmake --build build -j "$jobs" --target "${targets[@]}"
  fi
  local joined
  joined=$(IFS='|'; echo "${regex[*]}")
  ctest --test-dir build --output-on-failure -j "$jobs" -L "$joined"
}

case "${1:-}" in
  quick)
    base=$(git merge-base HEAD "${QUICK_BASE:-main}")
    mapfile -t labels < <({ git diff --name-only "$base"; git ls-files --others --exclude-standard; } | labels_of_change)
    labels+=(structure)
    echo "== quick: the tests of ${labels[*]} (changes since ${base:0:12})"
    started=$(date +%s)
    run_labels "${labels[@]}"
    echo "quick: $(($(date +%s) - started)) s"
    exit 0
    ;;
  format)
    exec scripts/format.sh --check
    ;;
  "") ;;
  *)
    run_labels "$@"
    exit 0
    ;;
esac

./scripts/install-dependencies.sh

logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT

echo "== layout of the C++ files"
scripts/format.sh --check

echo "== normal build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DSCENARIO_WERROR=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs" | tee "$logs/normal"

echo "== sanitizer build"
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSCENARIO_SANITIZE=ON -DSCENARIO_BENCHMARKS=OFF \
  -DSCENARIO_WERROR=ON
cmake --build build-sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 LSAN_OPTIONS=suppressions=$(pwd)/tests/lsan.supp:print_suppressions=0 \
  ctest --test-dir build-sanitize --output-on-failure -j "$jobs" | tee "$logs/sanitize"

echo "== Windows build, tested under Wine"
if command -v x86_64-w64-mingw32-g++-posix >/dev/null && [ -x /usr/lib/wine/wine64 ]; then
  windows_started=$(date +%s)
  cmake -S . -B build-windows -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DSCENARIO_LINUX_EXECUTABLE="$(pwd)/build/scenario" -DSCENARIO_WERROR=ON
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
