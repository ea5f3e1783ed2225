#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: in the optimised
# build that ships, again with AddressSanitizer and UndefinedBehaviorSanitizer,
# the calculations' fuzz target with clang for a minute, the Windows build
# under Wine and the web build under node, whose outcomes are compared with
# those of the first build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh test
jobs=$(nproc)

echo "== The build that ships"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DVELSONA_WERROR=ON
cmake --build build
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== Under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DVELSONA_SANITIZE=ON -DVELSONA_WERROR=ON
cmake --build build-sanitize
ctest --test-dir build-sanitize --output-on-failure -j "$jobs"

echo "== The fuzz target, 60 seconds"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DBUILD_TESTING=ON -DVELSONA_WINDOW=OFF -DVELSONA_FUZZ=ON -DVELSONA_FUZZ_SECONDS=60 -DVELSONA_WERROR=ON
cmake --build build-fuzz
ctest --test-dir build-fuzz --output-on-failure -j "$jobs"

echo "== The Windows build, under Wine"
# Cross-compiled with mingw-w64; its tests run under Wine, on a virtual
# display, and its table of outcomes is compared with the Linux build's.
cmake -S . -B build-windows -G Ninja --toolchain cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBUILD_TESTING=ON -DVELSONA_WERROR=ON \
  -DVELSONA_NATIVE_DIGITS="$PWD/build/tests/digits/velsona_digits_table"
cmake --build build-windows
xvfb-run -a ctest --test-dir build-windows --output-on-failure -j "$jobs"

echo "== The web build, under node and headless Chromium"
# WebAssembly with emscripten, optimised for size as it ships: its tests run
# under node, its table of outcomes is compared with the Linux build's, and
# the page is tested in headless Chromium.
cmake -S . -B build-web -G Ninja --toolchain cmake/emscripten.cmake -DCMAKE_BUILD_TYPE=MinSizeRel \
  -DBUILD_TESTING=ON -DVELSONA_WERROR=ON \
  -DVELSONA_NATIVE_DIGITS="$PWD/build/tests/digits/velsona_digits_table"
cmake --build build-web
ctest --test-dir build-web --output-on-failure -j "$jobs"
