#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: in the optimised
# build that ships, again with AddressSanitizer and UndefinedBehaviorSanitizer,
# the calculations' fuzz target with clang for a minute, the Windows build
# under Wine and the web build under node and in three browser engines, whose
# outcomes are compared with those of the first build.
# Each stage is a preset of CMakePresets.json, and its own build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh test
jobs=$(nproc)

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
