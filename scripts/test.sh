#!/usr/bin/env bash
# Checks the include graph against scripts/layers.txt and the formatting of every C++ file,
# builds and runs every test twice (a normal build in build/ and an ASan+UBSan build in
# build/sanitize), checks the 32-bit layout of the host boundary, builds the Windows DLL and
# runs its tests under Wine, and runs each fuzz target for a short fixed number of runs.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

jobs=$(nproc)
configure_build_test() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja "$@"
    cmake --build "$dir" -j "$jobs"
    ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 600
}

echo "== include graph (scripts/layers.txt)"
bash scripts/check-layers.sh

echo "== clang-format"
git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h' |
    xargs clang-format --dry-run -Werror

echo "== 32-bit layout of the host boundary"
g++ -m32 -std=c++20 -fsyntax-only -x c++ plugin/host_api.h

echo "== normal build"
configure_build_test build -DCMAKE_BUILD_TYPE=RelWithDebInfo

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    configure_build_test build/sanitize -DCMAKE_BUILD_TYPE=Debug -DSEPMET_SANITIZE=ON \
    -DSEPMET_BUILD_BENCH=OFF

# The Windows leg: sepmet.dll and sepmet-batch.exe built with MinGW-w64, their tests under Wine,
# and the batch program's output against the Linux one. SEPMET_WINDOWS=0 leaves it out (a quick
# run of the Linux builds only).
if [[ ${SEPMET_WINDOWS:-1} != 0 ]]; then
    echo "== Windows build (sepmet.dll, sepmet-batch.exe and their tests under Wine)"
    windows_start=$SECONDS
    bash scripts/build-windows.sh build/windows
    bash scripts/compare-windows-batch.sh build build/windows
    echo "== Windows packages (MSI and zip), installed, used and removed under Wine"
    bash scripts/package-windows.sh build/windows
    bash scripts/test-windows-package.sh build build/windows
    echo "-- Windows leg: $((SECONDS - windows_start)) s"
fi

if [[ -f fuzz/CMakeLists.txt ]] && command -v clang++ >/dev/null; then
    echo "== fuzz targets (short runs)"
    cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DSEPMET_BUILD_FUZZ=ON \
        -DSEPMET_BUILD_TESTS=OFF -DSEPMET_BUILD_BENCH=OFF
    cmake --build build/fuzz -j "$jobs"
    for target in $(find build/fuzz/fuzz -type f -executable -name 'fuzz_*' | sort); do
        echo "-- $(basename "$target")"
        "$target" -runs="${SEPMET_FUZZ_RUNS:-20000}" -seed=1 -max_len=512
    done
fi
echo "sepmet: all checks passed"
