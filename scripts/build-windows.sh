#!/usr/bin/env bash
# Builds sepmet.dll, sepmet-batch.exe and their tests for 32-bit Windows with MinGW-w64 and runs
# the tests under Wine. Usage: bash scripts/build-windows.sh [BUILD_DIR] (default build/windows)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build/windows}
mkdir -p "$build"
build=$(cd "$build" && pwd)

bash "$root/scripts/install-deps.sh"
# Shared by every Windows build folder of this checkout.
bash "$root/scripts/windows-sources.sh" "$root/build/windows-sources"

cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-i686.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSEPMET_BUILD_BENCH=OFF \
    -DSEPMET_WINDOWS_SOURCES="$root/build/windows-sources" >/dev/null
cmake --build "$build" -j2

source "$root/scripts/wine-prefix.sh"
wine_prefix_start "$build"
trap wine_prefix_stop EXIT
ctest --test-dir "$build" -j2 --output-on-failure
