#!/usr/bin/env bash
# The program in a real window under Xvfb. scenario hands the window run to scenario-graphics beside it: a
# normal run exits 0 and writes the same bytes as a run without a display; a file that cannot be written
# shows its message in a box titled with the application's title, which the Return key closes, and the
# run then ends with status 3. errore shows its box the same way, and the process then ends with a
# non-zero status.
set -euo pipefail
program=$1
graphics=$2
probe=$3

work=$(mktemp -d)
inner=$(mktemp)
trap 'rm -rf "$work" "$inner"' EXIT
for directory in shown headless box; do
  mkdir "$work/$directory"
  cp "$program" "$work/$directory/scenario"
  cp "$graphics" "$work/$directory/scenario-graphics"
done

cat > "$inner" <<'INNER'
set -euo pipefail
work=$1
probe=$2

# A normal run with a display, and its files against those of a run without one.
status=0
"$work/shown/scenario" 2> "$work/shown.err" || status=$?
if [ "$status" -ne 0 ]; then echo "run with a display exited $status"; cat "$work/shown.err"; exit 1; fi
if [ -s "$work/shown.err" ]; then echo "run with a display wrote:"; cat "$work/shown.err"; exit 1; fi
env -u DISPLAY "$work/headless/scenario"
if ! diff -r "$work/shown" "$work/headless"; then echo "a run with a display wrote other files"; exit 1; fi

# A file that cannot be written: the message in a box of scenario-graphics, closed by Return; status 3.
mkdir "$work/box/Lesca-Varo_148_note.txt"
"$work/box/scenario" > "$work/box.out" 2>&1 &
pid=$!
box=$(timeout 20 xdotool search --sync --name '^scenario$' | head -n 1)
if [ -z "$box" ]; then echo "no message box for the file"; kill $pid; exit 1; fi
sleep 0.3
# The box closes on the key press, so sending the key release may find the window gone already.
xdotool key --window "$box" Return 2>/dev/null || true
status=0
timeout 20 tail --pid=$pid -f /dev/null || { echo "box of the file not closed by Return"; kill $pid; exit 1; }
wait $pid || status=$?
if [ "$status" -ne 3 ]; then echo "the run that could not write its file exited $status, not 3"; exit 1; fi
if [ -s "$work/box.out" ]; then echo "unexpected output:"; cat "$work/box.out"; exit 1; fi

# errore in a real window.
"$probe" 1250 > "$work/probe.out" 2>&1 &
pid=$!
window=$(timeout 20 xdotool search --sync --name '^scenario: Attendere$' | head -n 1)
geometry=$(xdotool getwindowgeometry "$window" | grep Geometry | awk '{print $2}')
if [ "$geometry" != "280x179" ]; then echo "window geometry $geometry"; kill $pid; exit 1; fi
box=$(timeout 20 xdotool search --sync --name '^scenario$' | head -n 1)
if [ -z "$box" ]; then echo "no message box"; kill $pid; exit 1; fi
sleep 0.3
if ! kill -0 $pid 2>/dev/null; then echo "errore ended before OK was pressed"; exit 1; fi
xdotool key --window "$box" Return 2>/dev/null || true
status=0
timeout 20 tail --pid=$pid -f /dev/null || { echo "box not closed by Return"; kill $pid; exit 1; }
wait $pid || status=$?
if [ "$status" -eq 0 ]; then echo "errore exited 0"; exit 1; fi
if [ -s "$work/probe.out" ]; then echo "unexpected output:"; cat "$work/probe.out"; exit 1; fi
echo "window test passed"
INNER
# A server number of its own, so that runs at the same time do not take the same display; -noreset,
# so that the server does not reset (and refuse connections for a moment) each time its last client
# leaves between two steps.
xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1280x1024x24 -noreset" bash "$inner" "$work" "$probe"
