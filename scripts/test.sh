#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: in the optimised
# build that ships, again with AddressSanitizer and UndefinedBehaviorSanitizer,
# and the calculations' fuzz target with clang for a minute.
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
