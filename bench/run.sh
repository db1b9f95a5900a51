#!/usr/bin/env bash
# Times whole runs of the program beside a floor: the largest line the format accepts compiled with
# `scenario compile`, and the scenario itself with `scenario generate`. For each: the median wall time
# over RUNS runs, the peak memory (/usr/bin/time -v), and the ratio to the floor, a small program that
# writes the same output bytes with one write per file and syncs them to the disk. Then how cost grows:
# inputs at two sizes ten times apart (among them `scenario inspect --json` of a grid and of a plan trace,
# of a line of 93,700 m and of the largest line), with the ratio of their times (about 10 when the cost
# grows linearly) and their peak memory. Last, two soaks with the memory at the start and the end: the
# language server over 10,000 edits of the largest line (about 7 minutes on two shared cores) and a few of
# a line description of 24 MB, then `scenario watch` over WATCH_ROUNDS rounds (default 2000, about 25
# minutes; 0 leaves it out; bench/watch_soak.sh).
#   bench/run.sh [RUNS]      (default 9)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-9}

cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DSCENARIO_TESTS=OFF > /dev/null
cmake --build build-bench -j 2 --target scenario make_large_scenario floor_writer lsp_soak > /dev/null
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

# How cost grows: each input at two sizes ten times apart. Linear cost gives a time ratio of about 10.
#   growth NAME SMALL_SETUP LARGE_SETUP COMMAND...   (the setups write the input for the command)
growth() {
  local name=$1 small_setup=$2 large_setup=$3
  shift 3
  local small_ms large_ms small_peak large_peak
  small_ms=$(median_ms "$small_setup" "$@")
  small_peak=$(peak_kb "$small_setup" "$@")
  large_ms=$(median_ms "$large_setup" "$@")
  large_peak=$(peak_kb "$large_setup" "$@")
  printf '%-44s %9s ms -> %9s ms  ratio %6s  peak %7.1f -> %7.1f MB\n' "$name" "$small_ms" "$large_ms" \
    "$(awk -v a="$large_ms" -v b="$small_ms" 'BEGIN { printf "%.1f", a / b }')" \
    "$(awk -v k="$small_peak" 'BEGIN { print k / 1024 }')" "$(awk -v k="$large_peak" 'BEGIN { print k / 1024 }')"
}

mkdir -p "$work/growth"
service="$work/growth/G_1-.txt"
printf '[generale]\r\nvelocita, 0, 80\r\naderenza, 0, 100\r\n[fine]\r\n' > "$service"
# A line description with N copies of one line between its general section and its end.
lines_of() {
  local count=$1 text=$2
  { printf '[generale]\r\nlunghezza percorso, 29000\r\n[curve]\r\n'
    yes "$text" | head -n "$count"
    printf '[fine]\r\n'; } > "$work/growth/G_linea.txt"
}
# A general section with N lengths of the longest line.
lengths_of() {
  local count=$1
  { printf '[generale]\r\n'
    yes 'lunghezza percorso, 1000000' | head -n "$count"
    printf '[curve]\r\n[fine]\r\n'; } > "$work/growth/G_linea.txt"
}
echo
echo "cost growth: two sizes ten times apart (median of $runs runs each)"
# Diagnostics go to standard error, which is left out of the timing.
check=(sh -c 'exec "$0" "$@" 2> /dev/null' "$bin/scenario" check "$work/growth/G_linea.txt" "$service")
growth "check: 16,000 / 160,000 unknown lines" "lines_of 16000 strano" "lines_of 160000 strano" "${check[@]}"
growth "check: 2,000 / 20,000 long comment lines" "lines_of 2000 $(printf 'sfondo-,%.0s' $(seq 100))" \
  "lines_of 20000 $(printf 'sfondo-,%.0s' $(seq 100))" "${check[@]}"
growth "check: 2,000 / 20,000 line lengths of 1,000,000 m" "lengths_of 2000" "lengths_of 20000" "${check[@]}"

# The picture of the largest line with 1,000 and with 10,000 speed boards, each compiled once; the setup
# puts the one to draw in place.
for boards in 1000 10000; do
  mkdir -p "$work/boards-$boards"
  "$bin/make_large_scenario" "$work/boards-$boards" 1000000 "$boards"
  "$bin/scenario" compile "$work/boards-$boards/K_linea.txt" "$work/boards-$boards/K_1-.txt" \
    -o "$work/boards-$boards" > /dev/null
done
mkdir -p "$work/picture"
picture_of() {
  cp "$work/boards-$1/K_1.dat" "$work/boards-$1/K_1.sim" "$work/boards-$1/K_linea.dat" "$work/picture/"
  rm -f "$work/picture/K_1.png"
}
growth "preview: 1,000 / 10,000 speed boards, largest line" "picture_of 1000" "picture_of 10000" \
  "$bin/scenario" preview "$work/picture/K_1.dat" -o "$work/picture/K_1.png"

# inspect --json of the grid and of the plan trace of a line of 93,700 m (2,015 cells, metres 0 to
# 100,700) and of the largest line (20,141 cells, metres 0 to 1,007,000); the setup puts the file of
# each size in place, outside the timing.
mkdir -p "$work/inspect"
for size in 93700 1000000; do
  mkdir -p "$work/inspect-$size"
  "$bin/make_large_scenario" "$work/inspect-$size" "$size"
  "$bin/scenario" compile "$work/inspect-$size/K_linea.txt" "$work/inspect-$size/K_1-.txt" -o "$work/inspect-$size" \
    > /dev/null
done
for file in K_1.dat K_linea.dat; do
  name="inspect --json: grid of 2,015 / 20,141 cells"
  [ "$file" = K_linea.dat ] && name="inspect --json: trace of 2.0 / 20.1 MB"
  growth "$name" "cp $work/inspect-93700/$file $work/inspect/$file" "cp $work/inspect-1000000/$file $work/inspect/$file" \
    "$bin/scenario" inspect --json "$work/inspect/$file"
done
echo "the start of the program alone (scenario --version): $(median_ms ":" "$bin/scenario" --version) ms"

# The language server over 10,000 edits of the largest line, each change saved and its diagnostics
# awaited before the next (a completion and a hover every 100 edits); then over a line description of
# 24 MB, the largest line with a gradient at every metre, with a completion and a hover at each edit.
echo
echo "language server soak (lsp_soak): memory is the server's resident set"
"$bin/lsp_soak" "$bin/scenario" "$work/large" 10000
mkdir -p "$work/lsp-gradients"
cp "$work/large/K_1-.txt" "$work/lsp-gradients/"
awk 'BEGIN { ORS = "" }
     /^pendenza/ { if (!done) for (m = 0; m < 1000000; m++) printf "pendenza,  %d,   %d\r\n", m, int(m / 1000) % 21 - 10
                   done = 1; next }
     { print $0 "\n" }' "$work/large/K_linea.txt" > "$work/lsp-gradients/K_linea.txt"
"$bin/lsp_soak" "$bin/scenario" "$work/lsp-gradients" 20 1

# The soak: one `scenario watch` through many rounds; its memory at the start and the end.
if [ "${WATCH_ROUNDS:-2000}" -gt 0 ]; then
  echo
  bench/watch_soak.sh "$bin/scenario" "${WATCH_ROUNDS:-2000}"
fi
