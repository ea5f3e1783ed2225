#!/usr/bin/env bash
# The calculation path against its floor, and click to result in the window.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh bench
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELSONA_BENCH=ON >/dev/null
cmake --build build-bench --target velsona_calc_bench velsona_click_bench
build-bench/tests/velsona_calc_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@"
build-bench/tests/velsona_click_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@"
