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
# The window tests need a display: a virtual X server for the whole run.
xvfb-run -a -s "-screen 0 1600x1000x24" ctest --test-dir "$build" -j2 --output-on-failure
# The Win32 window again at 144 dots per inch: its screenshots (named "-144dpi") and the checks
# that nothing is cut off.
wine_prefix_dpi 144
xvfb-run -a -s "-screen 0 1800x1200x24" ctest --test-dir "$build" --output-on-failure \
    -R 'Win32AboutDialog|Win32SettingsDialog|Win32MainWindow\.Screenshots'
wine_prefix_dpi 96
