#!/usr/bin/env bash
# Retakes docs/screenshot-windows.png: Velsona.exe under Wine, in a Wine
# desktop on a virtual X display at 96 dpi, with a worked example typed in.
#   screenshot-windows.sh [BUILD_DIR]     (default: build-windows-release, built first)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-windows-release}
bash scripts/install-deps.sh shot-windows
exe=$(bash scripts/build-windows.sh "$build" | tail -n 1)
out=docs/screenshot-windows.png
prefix=$(realpath "$build")/wine-window-96

xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  set -euo pipefail
  trap "WINEPREFIX=\"$1\" timeout 10 wineserver -k || true" EXIT
  # The window is alone on the Wine desktop: its bounds are where the desktop
  # colour ends. A Wine desktop that is still starting may refuse the first
  # program its window, which then stops: it is started again.
  geometry=""
  for attempt in 1 2 3; do
    bash tests/window/wine-window.sh 96 "$1" "$2" &
    program=$!
    for second in $(seq 20); do
      sleep 1
      kill -0 "$program" 2>/dev/null || break
      import -window root "$3.root.png"
      read -r width height left top < <(convert "$3.root.png" -fuzz 2% -trim -format "%w %h %X %Y" info: 2>/dev/null) || true
      if [ "${width:-0}" -gt 200 ] && [ "${height:-0}" -gt 200 ]; then geometry="$left $top"; break 2; fi
    done
    kill "$program" 2>/dev/null || true
  done
  [ -n "$geometry" ] || { echo "The window did not show under Wine" >&2; exit 1; }
  sleep 2  # its controls drawn
  set -- "$@" $geometry
  # A click in the dB field (14 + 56, 50 + 16 pixels into the client, below a 22-pixel title bar),
  # then -47, Tab to mV/Pa, 12, Tab, 130, Tab, 15, and Space on the three buttons.
  xdotool mousemove $(($4 + 3 + 70)) $(($5 + 22 + 66)) click 1
  for key in minus 4 7 Tab 1 2 Tab 1 3 0 Tab 1 5 Tab Tab Tab space Tab space Tab space; do
    xdotool key "$key"
    sleep 0.1
  done
  sleep 1
  import -window root "$3.root.png"
  convert "$3.root.png" -fuzz 2% -trim +repage "$3"
  rm "$3.root.png"
' _ "$prefix" "$exe" "$out"
echo "wrote $out"
