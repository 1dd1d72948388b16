#!/usr/bin/env bash
# The Windows speed figures under Wine, each against its baseline in the same run:
# 1. windows_bench.exe: "+" with 256 identifiers from a 100 000-assay database through the
#    session against a bare SQLite loop in the same Windows program (goal: ratio <= 1.3);
# 2. the demo determination through sepmet-batch.exe under Wine against the Linux sepmet-batch:
#    whole runs; runs of "--version" (which start the program and do nothing else) to tell Wine's
#    start-up from the work; and the determination followed by 100 "--reload" (each reads the 12
#    chromatograms again and recalculates), whose difference to the plain run is work alone. The
#    runs of the six commands are interleaved; medians and minima of wall time (a Wine start
#    varies by tens of milliseconds on a busy machine, more than the determination takes).
# Usage: bench-windows.sh [LINUX_BUILD [WINDOWS_BUILD [RUNS]]] (default build, build/windows, 20).
# Both builds must exist (scripts/build-windows.sh); this builds only windows_bench in the
# Windows build (configured with the benchmarks on) and sepmet-batch and the demo database
# generator in the Linux build. Nothing here is a timed assertion: it prints figures.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
linux=$(cd "${1:-$root/build}" && pwd)
windows=$(cd "${2:-$root/build/windows}" && pwd)
runs=${3:-20}
reloads=100

cmake -S "$root" -B "$windows" -DSEPMET_BUILD_BENCH=ON >/dev/null
cmake --build "$windows" --target windows_bench sepmet-batch >/dev/null
cmake --build "$linux" --target sepmet-batch sepmet-demo-database >/dev/null

source "$root/scripts/wine-prefix.sh"
wine_prefix_start "$windows"
work=$(mktemp -d "$windows/bench.XXXXXX")
trap 'rm -rf "$work"; wine_prefix_stop' EXIT

echo "== \"+\" through the session against a bare SQLite loop (windows_bench.exe under Wine)"
(cd "$work" && wine "$windows/bench/windows/windows_bench.exe")

echo
echo "== the demo determination through sepmet-batch: Wine against Linux"
"$linux/tools/demo_database/sepmet-demo-database" "$work/demo.db"
demo=(--db demo.db --vW 100 --vG 10 --rhoG 0.7 --add 1-12)
repeated=("${demo[@]}")
for ((i = 0; i < reloads; ++i)); do repeated+=(--reload); done
linux_batch() { "$linux/batch/sepmet-batch" "$@"; }
wine_batch() { wine "$windows/batch/sepmet-batch.exe" "$@"; }

# One timed run: the command's wall time in microseconds appended to the file of its name.
timed() {
    local name=$1 start end
    shift
    start=${EPOCHREALTIME/./}
    "$@" >/dev/null
    end=${EPOCHREALTIME/./}
    echo $((end - start)) >>"$work/$name.times"
}

# The median and the minimum of a command's times, in milliseconds.
stats_ms() {
    sort -n "$work/$1.times" | awk '{ v[NR] = $1 } END {
        m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "%.1f %.1f", m / 1000, v[1] / 1000 }'
}

cd "$work"
# Once each before timing: the files in the system's cache, Wine's libraries loaded.
linux_batch "${demo[@]}" >/dev/null
wine_batch "${demo[@]}" >/dev/null
for ((i = 0; i < runs; ++i)); do
    # A different order each round, so that a drifting load falls on all four alike.
    for name in $(printf '%s\n' linux wine linux-start wine-start linux-reload wine-reload | shuf); do
        case $name in
        linux) timed linux linux_batch "${demo[@]}" ;;
        wine) timed wine wine_batch "${demo[@]}" ;;
        linux-reload) timed linux-reload linux_batch "${repeated[@]}" ;;
        wine-reload) timed wine-reload wine_batch "${repeated[@]}" ;;
        linux-start) timed linux-start linux_batch --version ;;
        wine-start) timed wine-start wine_batch --version ;;
        esac
    done
done

{
    for name in linux wine linux-start wine-start linux-reload wine-reload; do
        echo "$name $(stats_ms $name)"
    done
} | awk -v runs="$runs" -v reloads="$reloads" '{ median[$1] = $2; least[$1] = $3 } END {
    printf "%d runs of each, wall time, median (minimum):\n", runs
    printf "  %-34s %19s %19s %12s\n", "", "Linux", "Wine", "ratio"
    row("whole run (demo determination)", "linux", "wine")
    row("start and exit only (--version)", "linux-start", "wine-start")
    row(sprintf("with %d x --reload", reloads), "linux-reload", "wine-reload")
    dl = median["linux"] - median["linux-start"]; dw = median["wine"] - median["wine-start"]
    ml = least["linux"] - least["linux-start"]; mw = least["wine"] - least["wine-start"]
    rd = (dl > 0) ? dw / dl : 0; rm = (ml > 0) ? mw / ml : 0
    printf "  %-34s %7.1f (%5.1f) ms %7.1f (%5.1f) ms %5.2f (%4.2f)   goal <= 1.3\n",
        "the determination (whole - start)", dl, ml, dw, mw, rd, rm
    dl = (median["linux-reload"] - median["linux"]) / reloads
    dw = (median["wine-reload"] - median["wine"]) / reloads
    ml = (least["linux-reload"] - least["linux"]) / reloads
    mw = (least["wine-reload"] - least["wine"]) / reloads
    rd = (dl > 0) ? dw / dl : 0; rm = (ml > 0) ? mw / ml : 0
    printf "  %-34s %7.2f (%5.2f) ms %7.2f (%5.2f) ms %5.2f (%4.2f)   goal <= 1.3\n",
        "one \"R\" (reload and recalculation)", dl, ml, dw, mw, rd, rm
    printf "Wine start-up: %.1f ms (minimum %.1f ms) more than a Linux start\n",
        median["wine-start"] - median["linux-start"], least["wine-start"] - least["linux-start"]
}
function row(what, l, w) {
    printf "  %-34s %7.1f (%5.1f) ms %7.1f (%5.1f) ms %5.2f (%4.2f)\n", what, median[l], least[l],
        median[w], least[w], median[w] / median[l], least[w] / least[l]
}'
