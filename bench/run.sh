#!/usr/bin/env bash
# Times whole runs of the program against floors, in one run, each pair side by side: the program and its
# floor run in turn (A B A B ...), so that a drift of the machine's speed moves both, and the ratio is
# taken pair by pair. Every figure is the wall time of the whole process (its start included), as min /
# median / max over RUNS runs; the ratio is the median of the pairs' ratios, with their min and max. On a
# shared machine the processor time (user and system) waits less on the others: its ratio is given too.
#
# - The start: `scenario --version` (and, for comparison, `scenario-graphics --version`, which loads the
#   window toolkit and the picture libraries), and `scenario check` of the embedded scenario and of the
#   largest line, against a C++ hello-world linked statically (bench/static_hello.cpp), the least a
#   program's start costs.
# - The output: `scenario compile` of a line of 93,700 m and of the largest line the format accepts
#   (1,000,000 m), and `scenario generate` of the embedded scenario, against a durable copy of the files
#   each writes (bench/durable_cp.sh: cp of the files, then sync of the copies and of their directory),
#   the least a durable replacement of those bytes costs.
#
# With each, the peak memory of one more run (/usr/bin/time -v). Then how cost grows: inputs at two sizes
# ten times apart, with the ratio of their times (about 10 when the cost grows linearly) and their peak
# memory. Last, two soaks with the memory at the start and the end: the language server over LSP_EDITS edits
# of the largest line (default 10,000, about 7 minutes on two shared cores; 0 leaves it out) and a few of
# a line description of 24 MB, then
# `scenario watch` over WATCH_ROUNDS rounds (default 2000, about 25 minutes; 0 leaves it out;
# bench/watch_soak.sh).
# The times come from bench/time_pairs, which starts each process itself, without a shell.
#   bench/run.sh [RUNS]      (default 21)
set -euo pipefail
export LC_ALL=C  # figures with a decimal point
cd "$(dirname "$0")/.."
runs=${1:-21}

cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DSCENARIO_TESTS=OFF > /dev/null
cmake --build build-bench -j 2 --target scenario make_large_scenario static_hello time_pairs lsp_soak > /dev/null
bin=$(pwd)/build-bench
floor_copy=$(pwd)/bench/durable_cp.sh

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# min / median / max of numbers, one a line, each divided by DIVISOR, with DIGITS decimals.
spread() {
  sort -g | awk -v d="$1" -v digits="$2" '{ a[NR] = $1 / d }
    END { f = "%." digits "f"; printf f " / " f " / " f, a[1], a[int((NR + 1) / 2)], a[NR] }'
}
# The median of numbers, one a line, each divided by DIVISOR, with DIGITS decimals (default 1).
median_of() {
  sort -g | awk -v d="$1" -v digits="${2:-1}" '{ a[NR] = $1 / d } END { printf "%." digits "f", a[int((NR + 1) / 2)] }'
}

# Peak memory in MB of one run of a command line, run from a directory prepared by SETUP.
peak_mb() {
  eval "$1"
  /usr/bin/time -v sh -c "exec $2" 2>&1 > /dev/null | awk -F': ' '/Maximum resident set size/ { printf "%.1f", $2 / 1024 }'
}

# pair NAME SETUP_A A FLOOR_NAME SETUP_B B: RUNS pairs of runs of the command lines A and B, each after its
# setup (outside the timing); one row of the table.
pair() {
  local name=$1 setup_a=$2 a=$3 floor_name=$4 setup_b=$5 b=$6 times
  times=$("$bin/time_pairs" "$runs" "$setup_a" "$a" "$setup_b" "$b")
  printf '| %s | %s ms | %s | %s ms | %s | %s | %s MB |\n' "$name" "$(cut -d ' ' -f 1 <<< "$times" | spread 1000 1)" \
    "$floor_name" "$(cut -d ' ' -f 2 <<< "$times" | median_of 1000)" \
    "$(awk '{ print $1 / $2 }' <<< "$times" | spread 1 2)" \
    "$(awk '$4 > 0 { print $3 / $4 }' <<< "$times" | median_of 1 2)" "$(peak_mb "$setup_a" "$a")"
}

# The inputs: the embedded scenario's sources and files, and two lines of make_large_scenario.
mkdir -p "$work/embedded"
"$bin/scenario" generate --keep-sources -o "$work/embedded" > /dev/null
embedded=("$work/embedded/Lesca-Varo_linea.txt" "$work/embedded/Lesca-Varo_148-.txt")
for length in 93700 1000000; do
  mkdir -p "$work/line-$length" "$work/out-$length" "$work/floor-$length"
  "$bin/make_large_scenario" "$work/line-$length" "$length"
  "$bin/scenario" compile "$work/line-$length/K_linea.txt" "$work/line-$length/K_1-.txt" -o "$work/line-$length" -w > /dev/null
done
mkdir -p "$work/generated" "$work/generated-copy" "$work/generated-floor"
"$bin/scenario" generate -o "$work/generated-copy" > /dev/null
generated=("$work/generated-copy"/*)

echo "$(nproc) cores ($(uname -m), $(grep -m 1 'model name' /proc/cpuinfo | sed 's/.*: //')); $runs runs of each, $(date -u +%Y-%m-%d)"
echo
echo "| run | time (min / median / max) | floor | floor's median | ratio (min / median / max) | processor time ratio | peak memory |"
echo "|---|---|---|---|---|---|---|"
hello="$bin/static_hello"
pair '`scenario --version`' : "$bin/scenario --version" "static hello-world" : "$hello"
pair '`scenario-graphics --version`' : "$bin/scenario-graphics --version" "static hello-world" : "$hello"
pair '`check`, the embedded scenario (29 km)' : "$bin/scenario check ${embedded[*]}" "static hello-world" : "$hello"
pair '`check`, the largest line (1,000,000 m)' : \
  "$bin/scenario check $work/line-1000000/K_linea.txt $work/line-1000000/K_1-.txt" "static hello-world" : "$hello"
for line in 93700:93,700 1000000:1,000,000; do
  length=${line%%:*}
  files="$work/line-$length/K_linea.dat $work/line-$length/K_1.sim $work/line-$length/K_1.dat"
  size=$(cat $files | wc -c | awk '{ printf "%.1f", $1 / 1e6 }')
  pair "\`compile\`, a line of ${line#*:} m ($size MB)" "rm -f $work/out-$length/*" \
    "$bin/scenario compile $work/line-$length/K_linea.txt $work/line-$length/K_1-.txt -o $work/out-$length" \
    "durable cp of its 3 files" "rm -f $work/floor-$length/*" "$floor_copy $work/floor-$length $files"
done
pair '`generate`, the embedded scenario' "rm -f $work/generated/*" "$bin/scenario generate -o $work/generated" \
  "durable cp of its ${#generated[@]} files" "rm -f $work/generated-floor/*" \
  "$floor_copy $work/generated-floor ${generated[*]}"

# How cost grows: each input at two sizes ten times apart. Linear cost gives a time ratio of about 10.
#   growth NAME SMALL_SETUP LARGE_SETUP COMMAND   (each setup puts the input of its size in place)
growth() {
  local name=$1 small_setup=$2 large_setup=$3 command=$4 times small_ms large_ms
  times=$("$bin/time_pairs" "$runs" "$small_setup" "$command" "$large_setup" "$command")
  small_ms=$(cut -d ' ' -f 1 <<< "$times" | median_of 1000)
  large_ms=$(cut -d ' ' -f 2 <<< "$times" | median_of 1000)
  printf '| %s | %s ms | %s ms | %s | %s and %s MB |\n' "$name" "$small_ms" "$large_ms" \
    "$(awk -v a="$large_ms" -v b="$small_ms" 'BEGIN { printf "%.1f", a / b }')" \
    "$(peak_mb "$small_setup" "$command")" "$(peak_mb "$large_setup" "$command")"
}

mkdir -p "$work/growth"
service="$work/growth/G_1-.txt"
printf '[generale]\r\nvelocita, 0, 80\r\naderenza, 0, 100\r\n[fine]\r\n' > "$service"
# A line description NAME with COUNT copies of one line between its general section and its end.
lines_of() {
  local name=$1 count=$2 text=$3
  { printf '[generale]\r\nlunghezza percorso, 29000\r\n[curve]\r\n'
    awk -v count="$count" -v text="$text" 'BEGIN { for (n = 0; n < count; n++) print text }'
    printf '[fine]\r\n'; } > "$work/growth/$name"
}
# A line description NAME whose general section has COUNT lengths of the longest line.
lengths_of() {
  local name=$1 count=$2
  { printf '[generale]\r\n'
    awk -v count="$count" 'BEGIN { for (n = 0; n < count; n++) print "lunghezza percorso, 1000000" }'
    printf '[curve]\r\n[fine]\r\n'; } > "$work/growth/$name"
}
lines_of unknown-16000 16000 strano
lines_of unknown-160000 160000 strano
comment=$(printf 'sfondo-,%.0s' $(seq 100))
lines_of comments-2000 2000 "$comment"
lines_of comments-20000 20000 "$comment"
lengths_of lengths-2000 2000
lengths_of lengths-20000 20000
# Each setup puts the input of its size in place.
put() { echo "cp $work/growth/$1 $work/growth/G_linea.txt"; }
echo
echo "| input | smaller | larger | time ratio | peak memory |"
echo "|---|---|---|---|---|"
check="$bin/scenario check $work/growth/G_linea.txt $service"
growth '`check`: 16,000 / 160,000 unknown lines' "$(put unknown-16000)" "$(put unknown-160000)" "$check"
growth '`check`: 2,000 / 20,000 long comment lines' "$(put comments-2000)" "$(put comments-20000)" "$check"
growth '`check`: 2,000 / 20,000 line lengths of 1,000,000 m' "$(put lengths-2000)" "$(put lengths-20000)" "$check"

# The picture of the largest line with 1,000 and with 10,000 speed boards, each compiled once; the setup
# puts the one to draw in place.
for boards in 1000 10000; do
  mkdir -p "$work/boards-$boards"
  "$bin/make_large_scenario" "$work/boards-$boards" 1000000 "$boards"
  "$bin/scenario" compile "$work/boards-$boards/K_linea.txt" "$work/boards-$boards/K_1-.txt" \
    -o "$work/boards-$boards" -w > /dev/null
done
mkdir -p "$work/picture"
picture_of() {
  echo "cp $work/boards-$1/K_1.dat $work/boards-$1/K_1.sim $work/boards-$1/K_linea.dat $work/picture/ &&" \
    "rm -f $work/picture/K_1.png"
}
growth '`preview`: 1,000 / 10,000 speed boards, largest line' "$(picture_of 1000)" "$(picture_of 10000)" \
  "$bin/scenario preview $work/picture/K_1.dat -o $work/picture/K_1.png"

# inspect --json of the grid and of the plan trace of a line of 93,700 m (2,015 cells, metres 0 to
# 100,700) and of the largest line (20,141 cells, metres 0 to 1,007,000); the setup puts the file of
# each size in place, outside the timing.
mkdir -p "$work/inspect"
growth '`inspect --json`: grid of 2,015 / 20,141 cells' "cp $work/line-93700/K_1.dat $work/inspect/" \
  "cp $work/line-1000000/K_1.dat $work/inspect/" "$bin/scenario inspect --json $work/inspect/K_1.dat"
growth '`inspect --json`: trace of 2.0 / 20.1 MB' "cp $work/line-93700/K_linea.dat $work/inspect/" \
  "cp $work/line-1000000/K_linea.dat $work/inspect/" "$bin/scenario inspect --json $work/inspect/K_linea.dat"

# The language server over LSP_EDITS edits (default 10,000; 0 leaves both soaks out) of the largest line,
# each change saved and its diagnostics awaited before the next (a completion and a hover every 100
# edits); then over a line description of 24 MB, the largest line with a gradient at every metre, with a
# completion and a hover at each edit.
if [ "${LSP_EDITS:-10000}" -gt 0 ]; then
  echo
  echo "language server soak (lsp_soak): memory is the server's resident set"
  mkdir -p "$work/lsp" "$work/lsp-gradients"
  cp "$work/line-1000000/K_linea.txt" "$work/line-1000000/K_1-.txt" "$work/lsp/"
  cp "$work/lsp/K_1-.txt" "$work/lsp-gradients/"
  awk 'BEGIN { ORS = "" }
       /^pendenza/ { if (!done) for (m = 0; m < 1000000; m++) printf "pendenza,  %d,   %d\r\n", m, int(m / 1000) % 21 - 10
                     done = 1; next }
       { print $0 "\n" }' "$work/lsp/K_linea.txt" > "$work/lsp-gradients/K_linea.txt"
  "$bin/lsp_soak" "$bin/scenario" "$work/lsp" "${LSP_EDITS:-10000}"
  "$bin/lsp_soak" "$bin/scenario" "$work/lsp-gradients" 20 1
fi

# The soak: one `scenario watch` through many rounds; its memory at the start and the end.
if [ "${WATCH_ROUNDS:-2000}" -gt 0 ]; then
  echo
  bench/watch_soak.sh "$bin/scenario" "${WATCH_ROUNDS:-2000}"
fi
