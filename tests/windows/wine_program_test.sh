#!/usr/bin/env bash
# The Windows build against the Linux build: each case runs the two programs on the same inputs, the
# Windows one under Wine (headless: no display, so the run without arguments must show no window and
# end), and compares their exit statuses, outputs and the files they write, byte for byte.
#
#   tests/windows/wine_program_test.sh LINUX_SCENARIO WINDOWS_SCENARIO_EXE [WINE] [HOLD_OPEN_EXE]
#
# HOLD_OPEN_EXE (tests/windows/hold_open.cpp, built beside scenario.exe) holds a file open as the simulator
# does; without it that case is left out.
#
# LINUX_SCENARIO is the Linux build's scenario; no case here needs the scenario-graphics beside it (no
# window, no picture on the Linux side).
#
# WINEPREFIX is used when set (the build keeps one in build-windows/), else a throwaway one here.
set -uo pipefail

linux=$(realpath "$1")
windows=$(realpath "$2")
wine=${3:-/usr/lib/wine/wine64}
hold_open=${4:+$(realpath "$4")}
work=$(mktemp -d)
if [ -n "${KEEP_WORK:-}" ]; then echo "work: $work"; else trap 'rm -rf "$work"' EXIT; fi
export WINEDEBUG=-all
export WINEPREFIX=${WINEPREFIX:-$work/prefix}
unset DISPLAY WAYLAND_DISPLAY
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# run SIDE DIR ARGS...: runs one build's program in DIR; its status, output and error go beside DIR.
run() {
  local side=$1 directory=$2
  shift 2
  mkdir -p "$directory"
  if [ "$side" = linux ]; then
    (cd "$directory" && timeout 120 "$linux" "$@" </dev/null >"$directory.out" 2>"$directory.err")
  else
    (cd "$directory" && timeout 120 "$wine" "$windows" "$@" </dev/null >"$directory.out" 2>"$directory.err")
  fi
  echo $? >"$directory.status"
}

# same CASE: the two runs of CASE gave the same status, output, error and files. With SEPARATORS=1 the
# Windows build's "\" in its output and error count as "/" (the paths it prints follow its system).
same() {
  local case=$1 part
  if [ "${SEPARATORS:-0}" = 1 ]; then
    sed -i 's|\\|/|g' "$work/$case/windows.out" "$work/$case/windows.err"
  fi
  for part in status out err; do
    if ! cmp -s "$work/$case/linux.$part" "$work/$case/windows.$part"; then
      fail "$case: the $part differs"
      diff <(cat -A "$work/$case/linux.$part") <(cat -A "$work/$case/windows.$part") | head -20
    fi
  done
  if ! diff -r "$work/$case/linux" "$work/$case/windows" >/dev/null; then
    fail "$case: the files differ"
    diff -rq "$work/$case/linux" "$work/$case/windows" | head -20
  fi
}

# both CASE ARGS...: runs ARGS in each build's copy of the case's inputs and compares.
both() {
  local case=$1
  shift
  for side in linux windows; do
    mkdir -p "$work/$case/$side"
    [ -d "$work/inputs" ] && cp -r "$work/inputs/." "$work/$case/$side/"
    run "$side" "$work/$case/$side" "$@"
  done
  same "$case"
}

started=$(date +%s)
# The first start of a new prefix makes it (half a minute); it is not a case.
"$wine" "$windows" --version >/dev/null 2>&1

# generate: the eight files (three documents, three binary files, the two text sources kept).
both generate generate --keep-sources -o out
count=$(find "$work/generate/windows/out" -type f | wc -l)
[ "$count" -eq 8 ] || fail "generate: $count files written under Wine, not 8"
echo "generate: $count files, $(cat "$work/generate/windows.status") as status, compared byte for byte"

# The inputs of the further cases: the sources of the embedded scenario, one of them with mistakes.
mkdir -p "$work/inputs"
cp "$work/generate/linux/out/"*.txt "$work/inputs/"
line=$(cd "$work/inputs" && ls *_linea.txt)
service=$(cd "$work/inputs" && ls *-.txt)
grid=$(cd "$work/generate/linux/out" && ls *_[0-9]*.dat)
cp "$work/generate/linux/out/"*.dat "$work/generate/linux/out/"*.sim "$work/inputs/"
# Two numbers made words: errors the compiler reports with their places.
sed -i '0,/^[^;].*[0-9]/s/[0-9]\([0-9]*\)/x\1/' "$work/inputs/$service"
sed -e 's/[0-9][0-9]*/zz/3' "$work/inputs/$line" >"$work/inputs/bad_linea.txt"

both compile-bad compile "$line" "$service" -o out
[ "$(cat "$work/compile-bad/linux.status")" = 1 ] || fail "compile-bad: the bad scenario did not give status 1"
[ -s "$work/compile-bad/windows.err" ] || fail "compile-bad: no diagnostics under Wine"
both check-bad check "$line" "$service"
both check-bad-line check bad_linea.txt "$service"
both check-json check "$line" "$service" --diagnostics-format json
both check-sarif check "$line" "$service" --diagnostics-format sarif
both explain check --explain E16
both inspect inspect "$grid"
both inspect-json inspect "$grid" --json
SEPARATORS=1 both new new Demo 1 -o nuovo
both new-again new Demo 1 -o .
both documents-bad documents "$line" "$service" -o documenti
both missing compile absent_linea.txt "$service"
both usage compile
both version --version
# A line and a service of `new`, compiled: every file of the run the same.
rm -rf "$work/inputs"
mkdir -p "$work/inputs"
(cd "$work/inputs" && "$linux" new Demo 1 >/dev/null)
both compile compile Demo_linea.txt Demo_1-.txt -o out
both documents documents Demo_linea.txt Demo_1-.txt -o documenti

# A scenario file held open by another program (as the simulator holds the scenario it has loaded)
# cannot be replaced on Windows: none of the three is, and the message names them. Only the Windows build.
if [ -n "$hold_open" ]; then
  held="$work/held"
  mkdir -p "$held/out"
  cp "$work/inputs/"* "$held/"
  for name in Demo_linea.dat Demo_1.sim Demo_1.dat; do echo "earlier $name" >"$held/out/$name"; done
  (cd "$held/out" && exec timeout 60 "$wine" "$hold_open" Demo_1.sim 20 >"$held/hold.out" 2>&1) &
  holder=$!
  for _ in $(seq 1 300); do grep -q holding "$held/hold.out" 2>/dev/null && break; sleep 0.1; done
  (cd "$held" && timeout 120 "$wine" "$windows" compile Demo_linea.txt Demo_1-.txt -o out </dev/null \
    >"$held.out" 2>"$held.err")
  status=$?
  kill "$holder" 2>/dev/null
  wait "$holder" 2>/dev/null
  expected='scenario: error: cannot write out\Demo_1.sim: Permission denied; no file was replaced (out\Demo_linea.dat and out\Demo_1.dat are as they were)'
  [ "$status" = 3 ] || fail "held open: status $status, not 3"
  [ "$(tr -d '\r' <"$held.err")" = "$expected" ] || fail "held open: the message is: $(cat "$held.err")"
  for name in Demo_linea.dat Demo_1.sim Demo_1.dat; do
    [ "$(cat "$held/out/$name")" = "earlier $name" ] || fail "held open: $name was replaced"
  done
  ls -A "$held/out" | grep -q '^\.scenario-' && fail "held open: a temporary file was left"
  echo "held open: status $status, $(cat "$held.err")"
fi

# watch: a first round at the start, another when a source changes (seen by ReadDirectoryChangesW), and
# another after the sources' directory was moved away and copied back (mv d d.old; cp -r d.old d): the
# directory at the path is watched again.
mkdir -p "$work/watch/d"
cp "$work/inputs/"* "$work/watch/d/"
(cd "$work/watch" && exec timeout 60 "$wine" "$windows" watch d/Demo_linea.txt d/Demo_1-.txt -o out </dev/null \
  >"$work/watch.out" 2>"$work/watch.err") &
watcher=$!
wait_for_line() {
  for _ in $(seq 1 200); do
    grep -q "$1" "$2" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}
if wait_for_line "round 1: 0 errors, 0 warnings; wrote" "$work/watch.out"; then
  sed -i 's/^numero vetture,.*/numero vetture, x/' "$work/watch/d/Demo_1-.txt"
  if wait_for_line "round 2: 1 error" "$work/watch.out"; then
    mv "$work/watch/d" "$work/watch/d.old"
    cp -r "$work/watch/d.old" "$work/watch/d"
    cp "$work/inputs/Demo_1-.txt" "$work/watch/d/"
    wait_for_line "round [3-9]: 0 errors, 0 warnings; wrote" "$work/watch.out" ||
      fail "watch: no round after the directory was moved and copied back under Wine"
    wait_for_line "scenario: watching d again" "$work/watch.err" || fail "watch: the directory was not taken up again"
  else
    fail "watch: no second round after a change under Wine"
  fi
else
  fail "watch: no first round under Wine"
fi
kill "$watcher" 2>/dev/null
wait "$watcher" 2>/dev/null
[ -f "$work/watch/out/Demo_1.dat" ] || fail "watch: no grid written by the first round"
sed 's/^\[[0-9:]*\]//; s/([0-9.]* s)$//' "$work/watch.out" | sed 's/^/  watch:/'
grep '^scenario: ' "$work/watch.err" | sed 's/^/  watch:/'
# A watch that cannot start names the directory and the reason, as on Linux.
both watch-missing watch absent/Demo_linea.txt absent/Demo_1-.txt

# Names beyond ASCII: the Windows build takes its words and names in UTF-16 from the system.
mkdir -p "$work/inputs/città"
mv "$work/inputs/Demo_linea.txt" "$work/inputs/città/Demo_linea.txt"
mv "$work/inputs/Demo_1-.txt" "$work/inputs/città/Demo_1-.txt"
both unicode compile città/Demo_linea.txt città/Demo_1-.txt -o uscita_è
[ -n "$(ls "$work/unicode/windows/uscita_è" 2>/dev/null)" ] || fail "unicode: nothing written into uscita_è under Wine"

# lsp: the language server's framing on standard input and output, byte for byte (a CR LF added to a
# line or a Content-Length off by one would break every editor).
frame() { printf 'Content-Length: %d\r\n\r\n%s' "${#1}" "$1"; }
{
  frame '{"jsonrpc":"2.0","id":1,"method":"initialize","params":{"processId":null,"rootUri":null,"capabilities":{}}}'
  frame '{"jsonrpc":"2.0","method":"initialized","params":{}}'
  frame '{"jsonrpc":"2.0","id":2,"method":"shutdown"}'
  frame '{"jsonrpc":"2.0","method":"exit"}'
} >"$work/lsp-input"
for side in linux windows; do
  mkdir -p "$work/lsp/$side"
  if [ "$side" = linux ]; then
    (cd "$work/lsp/$side" && timeout 60 "$linux" lsp --stdio <"$work/lsp-input" >"../$side.out" 2>"../$side.err")
  else
    (cd "$work/lsp/$side" && timeout 60 "$wine" "$windows" lsp --stdio <"$work/lsp-input" >"../$side.out" 2>"../$side.err")
  fi
  echo $? >"$work/lsp/$side.status"
done
same lsp
grep -q '"id":2' "$work/lsp/windows.out" || fail "lsp: no answer to shutdown under Wine"

# The run without arguments works in the program's own directory; without a display it shows no
# window and ends.
rm -rf "$work/inputs"
mkdir -p "$work/window/linux" "$work/window/windows"
cp "$linux" "$work/window/linux/scenario"
cp "$windows" "$work/window/windows/scenario.exe"
(cd "$work/window/linux" && timeout 120 ./scenario </dev/null >"../linux.out" 2>"../linux.err"; echo $? >"../linux.status")
(cd "$work/window/windows" && timeout 120 "$wine" ./scenario.exe </dev/null >"../windows.out" 2>"../windows.err"; echo $? >"../windows.status")
rm "$work/window/linux/scenario" "$work/window/windows/scenario.exe"
same window

# Pictures are not in the Windows build, and it says so.
mkdir -p "$work/preview"
run windows "$work/preview/windows" preview "$grid"
[ "$(cat "$work/preview/windows.status")" = 2 ] || fail "preview: status $(cat "$work/preview/windows.status"), not 2"
grep -q "pictures are not in this build" "$work/preview/windows.err" || fail "preview: no word of pictures being left out"

for case in "$work"/*/windows.status; do
  case=${case%/windows.status}
  echo "  ${case##*/}: status $(cat "$case/windows.status"), $(wc -c <"$case/windows.out") bytes out, $(wc -c <"$case/windows.err") bytes of error"
done
echo "wine program test: $((failures)) failures, $(($(date +%s) - started)) s"
[ "$failures" -eq 0 ]
