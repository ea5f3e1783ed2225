#!/usr/bin/env bash
# Runs the window tests under valgrind's memcheck and fails if a block
# "definitely lost" was allocated from our code (Qt's and the system
# libraries' own one-off allocations are listed but not ours to fix).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh valgrind
cmake -S . -B build -G Ninja -DBUILD_TESTING=ON >/dev/null
cmake --build build --target velsona_ui_tests
log=build/valgrind-window.log

QT_QPA_PLATFORM=offscreen valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite \
  --num-callers=50 --log-file="$log" build/tests/ui/velsona_ui_tests -silent

# One record per blank-line-separated block of the log.
ours=$(awk -v RS='==[0-9]+== \n' '/definitely lost/ && /(velsona::|Form1Test|form1|window_qt\.cpp)/' "$log")
grep -E "definitely lost:|ERROR SUMMARY" "$log" | sed 's/^==[0-9]*== //'
if [ -n "$ours" ]; then
  echo "definitely lost from our code:"
  echo "$ours"
  exit 1
fi
echo "no block definitely lost from our code (full log: $log)"
