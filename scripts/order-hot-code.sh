#!/usr/bin/env bash
# Writes cmake/hot_code.ld, the order in which the linker lays out the code that the small commands run.
#
# A run of `scenario check` reaches about 200 KB of code spread over 3.6 MB: on this project's machine each
# first touch of a page of a new process costs several microseconds, and the scattered code was about 330
# pages. Laid out in the order the runs reach it, it is about 190. The file lists the sections that hold
# that code (every function has its own section, -ffunction-sections), in the order the runs below first
# reach them: `scenario --version`, then `check`, `compile` and `generate` of the embedded scenario.
#
# Run it again when the code that those commands run has changed much: a section that no longer exists is
# skipped by the linker, and code that the file does not name is laid out after it as before, so an old
# file costs speed, never correctness. Installs valgrind when it is missing (its lackey tool records each
# instruction's address: as root, through scripts/install-dependencies.sh) and makes a Release build of its
# own (build-hot-code/).
#   scripts/order-hot-code.sh
set -euo pipefail
export LC_ALL=C
cd "$(dirname "$0")/.."
scripts/install-dependencies.sh valgrind

build=build-hot-code
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSCENARIO_TESTS=OFF -DSCENARIO_BENCHMARKS=OFF > /dev/null
cmake --build "$build" -j "$(nproc)" --target scenario > /dev/null
# The link again, with its map: where each section of each object went.
link=$(ninja -C "$build" -t commands scenario | tail -n 1)
link=${link%" && :"}
(cd "$build" && eval "$link -Wl,-Map=scenario.map")
program=$(pwd)/$build/scenario
entry=$(readelf -h "$program" | awk '/Entry point address/ { print $4 }')

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$program" generate --keep-sources -o "$work" > /dev/null
cd "$work"
sources=(Lesca-Varo_linea.txt Lesca-Varo_148-.txt)

# The address of each instruction the runs execute, once, in the order they first reach it.
trace() {
  valgrind --tool=lackey --trace-mem=yes --log-fd=3 "$program" "$@" 3>&1 > /dev/null 2>&1 | awk '$1 == "I"'
}
{
  trace --version
  trace check "${sources[@]}"
  trace compile "${sources[@]}" -o "$work"
  trace generate -o "$work/generated"
} | awk -F '[ ,]+' '!seen[$2]++ { print $2 }' > addresses

# The sections of code in the map, then each address's section, in the order of the addresses.
awk -v entry="$entry" '
  function number(hex,   i, n, c) {
    n = 0
    sub(/^0x/, "", hex)
    for (i = 1; i <= length(hex); i++) {
      c = index("0123456789abcdef", tolower(substr(hex, i, 1)))
      n = n * 16 + c - 1
    }
    return n
  }
  function add(name, at, size, file) {
    if (size == 0) return
    count++; starts[count] = at; ends[count] = at + size; names[count] = name; files[count] = file
  }
  # The generic names of sections that hold many functions: named by their object, so that the line
  # takes that object alone. A section named after its function is taken from whichever object the
  # linker keeps it from (an inline function is in many).
  function pattern(name, file,   archive, member, stem) {
    if (name !~ /^\.text(\.(unlikely|startup|hot|exit))?$/ && name !~ /^\.text\.(sse|avx|evex)/) return "*(" name ")"
    if (match(file, /[^\/(]*\.a\(/)) {
      archive = substr(file, RSTART, RLENGTH - 1)
      member = substr(file, RSTART + RLENGTH)
      sub(/\)$/, "", member)
      # The C library chooses a string function for the processor at the start: every variant of it.
      if (name ~ /^\.text\.(sse|avx|evex)/) {
        stem = member
        sub(/-.*/, "", stem)
        return "*" archive ":" stem "-*.o(.text.*)"
      }
      return "*" archive ":" member "(" name ")"
    }
    sub(/.*\//, "", file)
    return "*" file "(" name ")"
  }
  FNR == NR {
    if ($0 ~ /^[^ ]/) in_code = ($1 == ".text" || $1 == ".text.hot_path")
    if (!in_code) next
    if (pending != "" && $1 ~ /^0x/ && NF >= 3) { add(pending, number($1), number($2), $3); pending = ""; next }
    pending = ""
    if ($0 ~ /^ \.text/) {
      if (NF >= 4) add($1, number($2), number($3), $4)
      else if (NF == 1) pending = $1
    }
    next
  }
  FNR == 1 { if (count == 0) { print "order-hot-code.sh: no code in the link map" > "/dev/stderr"; exit 1 }; base = -1 }
  {
    at = number($1)
    # The first instruction is the entry point: where the program was loaded.
    if (base < 0) base = at - number(entry)
    at -= base
    lo = 1; hi = count
    while (lo < hi) { mid = int((lo + hi + 1) / 2); if (starts[mid] <= at) lo = mid; else hi = mid - 1 }
    if (starts[lo] > at || at >= ends[lo]) next
    line = pattern(names[lo], files[lo])
    if (!(line in taken)) { taken[line] = 1; order[++lines] = line }
  }
  END {
    if (lines == 0) { print "order-hot-code.sh: no instruction of the runs fell in the map" > "/dev/stderr"; exit 1 }
    for (i = 1; i <= lines; i++) print "    " order[i]
  }
' "$OLDPWD/$build/scenario.map" addresses > sections

cd "$OLDPWD"
{
  echo "/* The code that small commands run, first, in the order they reach it (written by"
  echo "   scripts/order-hot-code.sh, which says why; run it again after large changes). */"
  echo "SECTIONS"
  echo "{"
  echo "  .text.hot_path :"
  echo "  {"
  cat "$work/sections"
  echo "  }"
  echo "}"
  echo "INSERT BEFORE .text;"
} > cmake/hot_code.ld
echo "cmake/hot_code.ld: $(wc -l < "$work/sections") sections"
