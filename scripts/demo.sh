#!/usr/bin/env bash
# The demo: installs what is missing, builds sepmet-batch and the demo database generator into
# build/, writes the demo analysis database and prints the pages of its determination.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target sepmet-batch sepmet-demo-database

database=build/demo.db
build/tools/demo_database/sepmet-demo-database "$database"

# Chromatograms 1-10: calibration solutions at 5, 25, 100, 150 and 200 mg/dm3, two each;
# 11 and 12: the two absorption solutions. Water 100 cm3, gas 10 dm3, gas density 0.7 g/dm3.
# The report template is found through the shared data folders, as installed.
report=build/demo-report.html
export XDG_DATA_DIRS="$PWD/share${XDG_DATA_DIRS:+:$XDG_DATA_DIRS}"
echo "== sepmet-batch --db $database --vW 100 --vG 10 --rhoG 0.7 --report $report --add 1-12"
build/batch/sepmet-batch --db "$database" --vW 100 --vG 10 --rhoG 0.7 --report "$report" \
    --add 1-12
echo
echo "Report: $PWD/$report"
