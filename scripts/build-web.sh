#!/usr/bin/env bash
# Builds the web edition on Debian: installs what is missing, builds the
# program as WebAssembly with emscripten and puts everything a static web
# host needs in one folder. The last line printed is that folder's path.
#   bash scripts/build-web.sh [BUILD_DIR]      (default: build-web)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-web}
bash scripts/install-deps.sh web >&2
if [ -f "$build/CMakeCache.txt" ]; then
  cmake "$build" >&2  # keeps the folder's own choices, e.g. tests on
else
  cmake -S . -B "$build" -G Ninja --toolchain cmake/emscripten.cmake \
    -DCMAKE_BUILD_TYPE=MinSizeRel -DVELSONA_WERROR=ON -DBUILD_TESTING=OFF >&2
fi
cmake --build "$build" --target velsona_page >&2
page=$(realpath "$build/page")
echo "The page: $(find "$page" -type f -printf "%s\n" | awk "{ s += \$1 } END { print s }") bytes, $(tar -C "$page" -cf - . | gzip -9 | wc -c) gzipped" >&2
echo "$page"
