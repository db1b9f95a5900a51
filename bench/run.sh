#!/usr/bin/env bash
# Times whole runs of the program beside a floor: the largest line the format accepts compiled with
# `scenario compile`, and the scenario itself with `scenario generate`. For each: the median wall time
# over RUNS runs, the peak memory (/usr/bin/time -v), and the ratio to the floor, a small program that
# writes the same output bytes with one write per file. Then `scenario inspect --json` of a grid and of
# a plan trace at two sizes ten times apart (the largest line and one of 93,700 m), with the ratio of
# their times (about 10 when the cost grows linearly) and their peak memory.
#   bench/run.sh [RUNS]      (default 9)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-9}

cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DSCENARIO_TESTS=OFF > /dev/null
cmake --build build-bench -j 2 --target scenario make_large_scenario floor_writer > /dev/null
bin=$(pwd)/build-bench

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Median wall time in milliseconds of RUNS runs of a command, run from a directory prepared by SETUP.
median_ms() {
  local setup=$1
  shift
  local times=()
  for _ in $(seq "$runs"); do
    eval "$setup"
    local start end
    start=$(date +%s%N)
    "$@" > /dev/null
    end=$(date +%s%N)
    times+=($(( (end - start) / 1000 )))
  done
  printf '%s\n' "${times[@]}" | sort -n | awk '{ a[NR] = $1 } END { printf "%.1f", a[int((NR + 1) / 2)] / 1000 }'
}

peak_kb() {
  local setup=$1
  shift
  eval "$setup"
  /usr/bin/time -v "$@" 2>&1 > /dev/null | awk -F': ' '/Maximum resident set size/ { print $2 }'
}

report() {
  local name=$1 run_ms=$2 floor_ms=$3 peak=$4 floor_peak=$5 largest=$6
  local ratio budget
  ratio=$(awk -v a="$run_ms" -v b="$floor_ms" 'BEGIN { printf "%.2f", a / b }')
  budget=$(awk -v f="$largest" 'BEGIN { printf "%.1f", (3 * f + 10 * 1024 * 1024) / 1024 / 1024 }')
  printf '%-34s %9s ms  floor %8s ms  ratio %5s  peak %7.1f MB (floor %5.1f MB, budget %6s MB)\n' \
    "$name" "$run_ms" "$floor_ms" "$ratio" "$(awk -v k="$peak" 'BEGIN { print k / 1024 }')" \
    "$(awk -v k="$floor_peak" 'BEGIN { print k / 1024 }')" "$budget"
}

# The largest line.
mkdir -p "$work/large" "$work/large-out" "$work/large-floor"
"$bin/make_large_scenario" "$work/large"
compile=("$bin/scenario" compile "$work/large/K_linea.txt" "$work/large/K_1-.txt" -o "$work/large-out")
"${compile[@]}" > /dev/null
large_files=("$work/large-out/K_linea.dat" "$work/large-out/K_1.sim" "$work/large-out/K_1.dat")
floor=("$bin/floor_writer" "$work/large-floor" "${large_files[@]}")
largest=$(stat -c %s "$work/large-out/K_linea.dat")
compile_ms=$(median_ms "rm -f $work/large-out/*" "${compile[@]}")
floor_ms=$(median_ms "rm -f $work/large-floor/*" "${floor[@]}")
compile_peak=$(peak_kb "rm -f $work/large-out/*" "${compile[@]}")
floor_peak=$(peak_kb "rm -f $work/large-floor/*" "${floor[@]}")

# The scenario.
mkdir -p "$work/scenario" "$work/scenario-floor"
generate=("$bin/scenario" generate -o "$work/scenario")
"${generate[@]}"
scenario_files=("$work/scenario"/*)
sfloor=("$bin/floor_writer" "$work/scenario-floor" "${scenario_files[@]}")
slargest=$(stat -c %s "$work/scenario/Lesca-Varo_linea.dat")
generate_ms=$(median_ms "rm -f $work/scenario/*" "${generate[@]}")
sfloor_ms=$(median_ms "rm -f $work/scenario-floor/*" "${sfloor[@]}")
generate_peak=$(peak_kb "rm -f $work/scenario/*" "${generate[@]}")
sfloor_peak=$(peak_kb "rm -f $work/scenario-floor/*" "${sfloor[@]}")

echo "median of $runs runs; peak = maximum resident set size; budget = 3 x largest output file + 10 MB"
report "largest line (1,000,000 m) compile" "$compile_ms" "$floor_ms" "$compile_peak" "$floor_peak" "$largest"
report "scenario generate" "$generate_ms" "$sfloor_ms" "$generate_peak" "$sfloor_peak" "$slargest"

# inspect --json at two sizes ten times apart: the grid and the trace of the largest line (20,141 cells,
# metres 0 to 1,007,000) and of a line of 93,700 m (2,015 cells, metres 0 to 100,700).
for size in 93700 1000000; do
  mkdir -p "$work/inspect-$size"
  "$bin/make_large_scenario" "$work/inspect-$size" "$size"
  "$bin/scenario" compile "$work/inspect-$size/K_linea.txt" "$work/inspect-$size/K_1-.txt" -o "$work/inspect-$size" \
    > /dev/null
done
# The start of the program alone, to take off the times above: what is left grows with the file.
start_ms=$(median_ms ":" "$bin/scenario" --version)
inspect_pair() {
  local name=$1 file=$2
  local small=("$bin/scenario" inspect --json "$work/inspect-93700/$file")
  local large=("$bin/scenario" inspect --json "$work/inspect-1000000/$file")
  local small_ms large_ms small_peak large_peak
  small_ms=$(median_ms ":" "${small[@]}")
  large_ms=$(median_ms ":" "${large[@]}")
  small_peak=$(peak_kb ":" "${small[@]}")
  large_peak=$(peak_kb ":" "${large[@]}")
  printf '%-28s %8s ms  peak %6.1f MB (%9s bytes) | %8s ms  peak %6.1f MB (%9s bytes)  time ratio %5s, %5s without the start\n' \
    "$name" "$small_ms" "$(awk -v k="$small_peak" 'BEGIN { print k / 1024 }')" \
    "$(stat -c %s "$work/inspect-93700/$file")" "$large_ms" "$(awk -v k="$large_peak" 'BEGIN { print k / 1024 }')" \
    "$(stat -c %s "$work/inspect-1000000/$file")" "$(awk -v a="$large_ms" -v b="$small_ms" 'BEGIN { printf "%.1f", a / b }')" \
    "$(awk -v a="$large_ms" -v b="$small_ms" -v s="$start_ms" 'BEGIN { if (b > s) printf "%.1f", (a - s) / (b - s); else print "-" }')"
}
echo "inspect --json, 93,700 m line | 1,000,000 m line (median of $runs runs; the start of the program alone: $start_ms ms)"
inspect_pair "grid" K_1.dat
inspect_pair "plan trace" K_linea.dat
