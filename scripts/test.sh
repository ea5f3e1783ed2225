#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: in the optimised
# build that ships, again with AddressSanitizer and UndefinedBehaviorSanitizer,
# the calculations' fuzz target with clang for a minute, the Windows build
# under Wine and the web build under node and in three browser engines, whose
# outcomes are compared with those of the first build. On Debian 12, last,
# the build that ships again on Debian 13, in a tree beside the machine, and
# this machine's package installed there.
# Each stage is a preset of CMakePresets.json, and its own build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh test
jobs=$(nproc)

# The Debian 13 tree is made, or brought up to date, while the stages below
# build: its downloads wait on the network, they on the processor.
debian13=no
if [ "$(. /etc/os-release && echo "${VERSION_ID:-}")" = 12 ]; then
  debian13=yes
  tree_log=$(mktemp)
  bash scripts/debian13.sh tree >"$tree_log" 2>&1 &
  tree_job=$!
fi

stage() {
  local preset=$1
  shift
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  "$@" ctest --preset "$preset" -j "$jobs"
}

echo "== The build that ships"
stage default

echo "== Under AddressSanitizer and UndefinedBehaviorSanitizer"
stage sanitize

echo "== The fuzz target, 60 seconds"
stage fuzz

echo "== The Windows build, under Wine"
# Cross-compiled with mingw-w64; its tests run under Wine, on a virtual
# display, and its table of outcomes is compared with the default build's.
stage windows xvfb-run -a

echo "== The web build, under node and in Chromium, Firefox and WebKitGTK"
# WebAssembly with emscripten, optimised for size as it ships: its tests run
# under node, its table of outcomes is compared with the default build's, and
# the page is tested in Chromium, Firefox and WebKitGTK.
stage web

if [ "$debian13" = yes ]; then
  echo "== The build that ships on Debian 13, and this machine's package installed there"
  # Qt 6.8's announcement path, compiled and heard by Orca, beside Qt 6.4's above,
  # and the same digits from both releases' compilers.
  package=$(mktemp -d)
  (cd build && cpack -G DEB -B "$package" >/dev/null)
  wait "$tree_job" || { cat "$tree_log"; echo "The Debian 13 tree could not be made (above)"; exit 1; }
  grep -E '^(Making|Removing|Installing|Generating)' "$tree_log" || true
  rm -f "$tree_log"
  bash scripts/debian13.sh test "$package"/velsona_*.deb build/tests/digits/velsona_digits_table
  rm -rf "$package"
fi
