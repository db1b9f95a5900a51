#!/usr/bin/env bash
# A soak of `scenario watch`: one process through ROUNDS rounds on the starter scenario of `scenario new`,
# each drawing its picture too (600 x 400: the soak looks for growth, not speed). The service is changed between a version without error (the round writes
# the binary files and the picture) and one with an error (nothing written), saved in turn in place and by
# an editor's rename; every 100th change, the sources' directory is first moved away and copied back, so
# that the watch is lost and taken up again. Reports the resident memory (VmRSS) after the first round,
# after the 100th and after the last, the peak (VmHWM), and the open files at the start and the end.
#   bench/watch_soak.sh SCENARIO [ROUNDS]      (default 2000)
set -euo pipefail
scenario=$(realpath "$1")
rounds=${2:-2000}

work=$(mktemp -d)
watcher=
cleanup() {
  if [ -n "$watcher" ]; then
    kill "$watcher" 2>/dev/null || true
    wait "$watcher" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/d"
(cd "$work/d" && "$scenario" new Soak 1 >/dev/null)
cp "$work/d/Soak_1-.txt" "$work/good.txt"
sed 's/^numero vetture,.*/numero vetture, x/' "$work/good.txt" >"$work/bad.txt"

(cd "$work" && exec "$scenario" watch d/Soak_linea.txt d/Soak_1-.txt -o out --preview soak.png --width 600 --height 400 \
  </dev/null >"$work/watch.out" 2>"$work/watch.err") &
watcher=$!

last_round() { sed -n 's/^\[[0-9:]*\] round \([0-9]*\): .*/\1/p' "$work/watch.out" | tail -n 1; }
last_line() { tail -n 1 "$work/watch.out"; }
kb() { awk -v key="$1:" '$1 == key { print $2 }' "/proc/$watcher/status"; }
mb() { awk -v k="$1" 'BEGIN { printf "%.1f MB", k / 1024 }'; }
open_files() { find "/proc/$watcher/fd" -mindepth 1 | wc -l; }

# Waits (at most 20 s) for a round after round AFTER whose line holds TEXT.
wait_for_round() {
  local after=$1 text=$2
  for _ in $(seq 1 2000); do
    local now
    now=$(last_round)
    if [ -n "$now" ] && [ "$now" -gt "$after" ] && last_line | grep -q -- "$text"; then return 0; fi
    kill -0 "$watcher" 2>/dev/null || { echo "watch ended early:" >&2; cat "$work/watch.err" >&2; exit 1; }
    sleep 0.01
  done
  echo "no round with \"$text\" after round $after within 20 s; last: $(last_line)" >&2
  exit 1
}

started=$(date +%s%N)
wait_for_round 0 "0 errors"
rss_first=$(kb VmRSS)
files_first=$(open_files)
rss_hundredth=
changes=0
while [ "$(last_round)" -lt "$rounds" ]; do
  before=$(last_round)
  changes=$((changes + 1))
  if [ $((changes % 100)) -eq 0 ]; then
    rm -rf "$work/d.old"
    mv "$work/d" "$work/d.old"
    cp -r "$work/d.old" "$work/d"
  fi
  if [ $((changes % 2)) -eq 1 ]; then
    cat "$work/bad.txt" >"$work/d/Soak_1-.txt"
    wait_for_round "$before" "1 error"
  else
    cp "$work/good.txt" "$work/d/Soak_1-.txt.new"
    mv "$work/d/Soak_1-.txt.new" "$work/d/Soak_1-.txt"
    wait_for_round "$before" "0 errors"
  fi
  if [ -z "$rss_hundredth" ] && [ "$(last_round)" -ge 100 ]; then rss_hundredth=$(kb VmRSS); fi
done
ended=$(date +%s%N)
rss_last=$(kb VmRSS)
peak=$(kb VmHWM)
files_last=$(open_files)
taken_up=$(grep -c "^scenario: watching d again" "$work/watch.err" || true)

echo "watch soak: $(last_round) rounds after $changes changes in $(( (ended - started) / 1000000000 )) s," \
  "the directory moved and copied back $((changes / 100)) times (taken up again $taken_up times)"
hundredth=
[ -n "$rss_hundredth" ] && hundredth=" $(mb "$rss_hundredth") after round 100,"
echo "  resident memory: $(mb "$rss_first") after round 1,$hundredth $(mb "$rss_last") after round $(last_round);" \
  "peak $(mb "$peak")"
echo "  open files: $files_first after round 1, $files_last at the end"
