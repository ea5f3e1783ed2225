#!/usr/bin/env bash
# Retakes docs/screenshot.png: the window under a virtual X display, with a
# worked example typed in, under Italian regional settings.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh shot
[ -n "${1:-}" ] || { cmake --preset run >/dev/null && cmake --build --preset run; }
program=${1:-build-run/ui/velsona}
out=docs/screenshot.png
mkdir -p docs

xvfb-run -a -s "-screen 0 640x480x24 -dpi 96" bash -c '
  set -euo pipefail
  LC_ALL=it_IT.UTF-8 "$1" &
  pid=$!
  trap "kill $pid 2>/dev/null || true" EXIT
  for _ in $(seq 50); do
    window=$(xdotool search --name "^Velsona - " 2>/dev/null | head -n 1) && [ -n "$window" ] && break
    sleep 0.1
  done
  xdotool windowfocus --sync "$window"
  # The focus starts in the dB field: -47 dB, then Tab to mV/Pa, 12, Tab, 130, Tab, 7,5.
  xdotool type --delay 20 -- "-47"
  xdotool key Tab && xdotool type --delay 20 "12"
  xdotool key Tab && xdotool type --delay 20 "130"
  xdotool key Tab && xdotool type --delay 20 "7,5"
  # Tab on to the buttons and press each with Space: Arrotonda2, Arrotonda, CalcolaSens2, CalcolaSens, CalcGamma.
  xdotool key Tab Tab Tab space Tab space Tab space
  sleep 0.3
  import -window "$window" "$2"
' _ "$program" "$out"
echo "wrote $out"
