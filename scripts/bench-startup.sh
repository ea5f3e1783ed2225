#!/usr/bin/env bash
# Start-up time (to the window on screen) and peak memory of the real
# program, against a bare Qt Widgets window built beside it.
#   bash scripts/bench-startup.sh [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh bench
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELSONA_BENCH=ON >/dev/null
cmake --build build-bench --target velsona velsona_floor_window
xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" \
  /usr/bin/python3 scripts/bench_startup.py build-bench/ui/velsona build-bench/tests/velsona_floor_window "${1:-20}"
