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
    -DSEPMET_WINDOWS_SOURCES="$root/build/windows-sources" \
    -DSEPMET_SCREENSHOT_DIR="$root/build/screenshots" >/dev/null
cmake --build "$build" -j2

# The window tests need a display: one virtual X server for the whole run, with the prefix's
# server started inside it. Wine's desktop process, started with the first program, keeps the
# display it found: a server started without one, or a second X server later, leaves every
# window test without a desktop.
xvfb-run -a -s "-screen 0 1800x1200x24" bash -c '
    set -euo pipefail
    build=$1
    source "$2/scripts/wine-prefix.sh"
    # A server of this prefix still running from a run without a display is ended first.
    WINEPREFIX=$build/wineprefix wineserver -k 2>/dev/null || true
    wine_prefix_start "$build"
    trap "wine_prefix_dpi 96; wine_prefix_stop" EXIT
    ctest --test-dir "$build" -j2 --output-on-failure
    # The Win32 window again at 144 dots per inch: its screenshots (named "-144dpi") and the
    # checks that nothing is cut off.
    wine_prefix_dpi 144
    ctest --test-dir "$build" --output-on-failure \
        -R "Win32AboutDialog|Win32SettingsDialog|Win32MainWindow\.Screenshots"
' build-windows "$build" "$root"
