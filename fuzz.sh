#!/usr/bin/env bash
# Builds the fuzz targets with clang (build-fuzz/) and runs each for SECONDS (default 60).
#
#   ./fuzz.sh [SECONDS] [TARGET...]
#
# TARGET is one of field_reader_fuzz, line_reader_fuzz, service_reader_fuzz, compile_fuzz,
# preview_layout_fuzz (default: all five). FUZZ_PARALLEL=N runs N targets at a time (default 1). Each target starts from its seeds in
# fuzz/corpus/<target>, which stay as they are: the inputs it finds go to build-fuzz/fuzz-work/<target>/
# corpus, and a crash, hang, leak or sanitizer report to build-fuzz/fuzz-work/<target>/artifacts.
# The exit status is 1 when a target found something.
set -euo pipefail
cd "$(dirname "$0")"

seconds=${1:-60}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(field_reader_fuzz line_reader_fuzz service_reader_fuzz compile_fuzz preview_layout_fuzz)
fi
parallel=${FUZZ_PARALLEL:-1}
build=build-fuzz
work=$build/fuzz-work

# -O1 keeps the fuzzer fast; without NDEBUG every assertion stays in.
cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DSCENARIO_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g" \
  -DSCENARIO_TESTS=OFF -DSCENARIO_BENCHMARKS=OFF > /dev/null
cmake --build "$build" --target "${targets[@]}"

run_target() {
  local target=$1
  local dir=$work/$target
  mkdir -p "$dir/corpus" "$dir/artifacts"
  local status=0
  # The first directory receives the new inputs; the committed seeds are only read. An input that takes
  # more than 3 s (the slowest legitimate ones take about 1 s) or makes the process hold more than 512 MB
  # (or ask for that much at once; legitimate inputs peak below 100 MB) is a finding, like a crash.
  "$build/fuzz/$target" -max_total_time="$seconds" -rss_limit_mb=512 -timeout=3 \
    -dict=fuzz/scenario.dict -artifact_prefix="$dir/artifacts/" -print_final_stats=1 \
    "$dir/corpus" "fuzz/corpus/$target" > "$dir/log" 2>&1 || status=$?
  local last execs
  last=$(grep -E '^#[0-9]+' "$dir/log" | tail -n 1 || true)
  execs=$(grep -E '^stat::average_exec_per_sec' "$dir/log" | awk '{print $2}' || true)
  if [ "$status" -eq 0 ]; then
    echo "$target: nothing found in ${seconds} s; exec/s ${execs:-?}; ${last}"
  else
    echo "$target: FOUND SOMETHING (status $status), see $dir/log and $dir/artifacts:"
    grep -E 'ERROR|SUMMARY|runtime error|property broken|Test unit written' "$dir/log" | head -n 20 || true
  fi
  return "$status"
}

failed=0
pids=()
names=()
for target in "${targets[@]}"; do
  run_target "$target" &
  pids+=($!)
  names+=("$target")
  if [ ${#pids[@]} -ge "$parallel" ]; then
    wait "${pids[0]}" || failed=1
    pids=("${pids[@]:1}")
    names=("${names[@]:1}")
  fi
done
for pid in "${pids[@]}"; do
  wait "$pid" || failed=1
done
exit "$failed"
