#!/usr/bin/env bash
# Cross-builds the Windows program on Debian: installs what is missing, builds
# Velsona.exe with mingw-w64, strips it and makes its installer beside it,
# Velsona-VERSION-x64.msi. The last line printed is the path of Velsona.exe.
#   bash scripts/build-windows.sh [BUILD_DIR]      (default: build-windows-release)
# Its folder is its own: the windows preset's build-windows/ is another build
# (with debugging information and the tests), so each keeps its Velsona.exe.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-windows-release}
bash scripts/install-deps.sh windows >&2
if [ -f "$build/CMakeCache.txt" ]; then
  cmake "$build" >&2  # keeps the folder's own choices, e.g. tests on
else
  cmake -S . -B "$build" -G Ninja --toolchain cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=MinSizeRel -DVELSONA_WERROR=ON -DBUILD_TESTING=OFF >&2
fi
cmake --build "$build" --target velsona_dist >&2
exe=$(realpath "$build/dist/Velsona.exe")
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
msi=$(realpath "$build/dist/Velsona-$version-x64.msi")
echo "Installer: $msi ($(stat -c %s "$msi") bytes)" >&2
echo "Program: $(stat -c %s "$exe") bytes, stripped" >&2
echo "$exe"
