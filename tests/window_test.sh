#!/usr/bin/env bash
# The program in a real window under Xvfb: a normal run exits 0; errore shows a box titled with the
# application's title, which the Return key closes, and the process then ends with a non-zero status.
set -euo pipefail
program=$1
probe=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$program" "$work/scenario"

inner=$(mktemp)
trap 'rm -rf "$work" "$inner"' EXIT
cat > "$inner" <<'INNER'
set -euo pipefail
work=$1
probe=$2

# A normal run with a display.
status=0
"$work/scenario" || status=$?
if [ "$status" -ne 0 ]; then echo "run with a display exited $status"; exit 1; fi

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
# The box closes on the key press, so sending the key release may find the window gone already.
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
