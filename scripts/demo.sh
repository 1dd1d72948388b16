#!/usr/bin/env bash
# The demo: installs what is missing and builds the host, the plug-in, sepmet-batch and the demo
# database generator into build/. With a display it opens the host on the demo database with the
# plug-in's window open. Without one it writes the demo analysis database, prints the pages of
# its determination, writes the report and writes offscreen screenshots of the host, its picker
# and viewer and the plug-in's window after the determination into build/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

menu="Данные/Расчёты/Метанол в газе сепарации"
# The report template is found through the shared data folders, as installed.
export XDG_DATA_DIRS="$PWD/share${XDG_DATA_DIRS:+:$XDG_DATA_DIRS}"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
targets=(sepmet sepmet-host sepmet-batch sepmet-demo-database)
if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
    cmake --build build -j "$(nproc)" --target "${targets[@]}"
    # The demo database is written into $XDG_DATA_HOME/sepmet/demo.sqlite when missing; the
    # window title says «демонстрационная база».
    echo "== sepmet-host --demo --open \"$menu\""
    exec build/host/sepmet-host --demo --open "$menu"
fi

cmake --build build -j "$(nproc)" --target "${targets[@]}" host_tests

database=build/demo.db
build/tools/demo_database/sepmet-demo-database "$database"

# Chromatograms 1-10: calibration solutions at 5, 25, 100, 150 and 200 mg/dm3, two each;
# 11 and 12: the two absorption solutions. Water 100 cm3, gas 10 dm3, gas density 0.7 g/dm3.
report=build/demo-report.html
echo "== sepmet-batch --db $database --vW 100 --vG 10 --rhoG 0.7 --report $report --add 1-12"
build/batch/sepmet-batch --db "$database" --vW 100 --vG 10 --rhoG 0.7 --report "$report" \
    --add 1-12
echo
echo "Report: $PWD/$report"

# No display: the host and the plug-in run offscreen, driven as an operator would (menu, "S",
# "+" answered in the picker, "->"), and each window is photographed.
echo
echo "== offscreen screenshots"
QT_QPA_PLATFORM=offscreen build/tests/host/host_tests \
    --gtest_filter='HostSessionTest.Starts*:HostSessionTest.TheViewer*:EndToEndTest.*' \
    --gtest_brief=1 > build/demo-screenshots.log 2>&1 ||
    { cat build/demo-screenshots.log >&2; exit 1; }
for shot in host-window host-picker host-viewer host-modules host-plugin-window; do
    if [[ -f build/screenshots/$shot.png ]]; then
        echo "Screenshot: $PWD/build/screenshots/$shot.png"
    else
        echo "Screenshot missing: build/screenshots/$shot.png (see build/demo-screenshots.log)"
    fi
done
