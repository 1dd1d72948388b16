#!/usr/bin/env bash
# The demo determination through the Linux sepmet-batch and through sepmet-batch.exe under
# Wine, on the same demo database: the JSON lines and the pages must be the same bytes.
# Usage: compare-windows-batch.sh LINUX_BUILD WINDOWS_BUILD (both built).
set -euo pipefail
linux=$(cd "$1" && pwd)
windows=$(cd "$2" && pwd)
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/wine-prefix.sh"
wine_prefix_start "$windows"
trap wine_prefix_stop EXIT

work=$(mktemp -d "$windows/compare.XXXXXX")
trap 'rm -rf "$work"; wine_prefix_stop' EXIT
"$linux/tools/demo_database/sepmet-demo-database" "$work/demo.db"
for output in --json ""; do
    args=(--db "$work/demo.db" --vW 100 --vG 10 --rhoG 0.7 --add 1-12 $output)
    "$linux/batch/sepmet-batch" "${args[@]}" >"$work/linux.txt"
    (cd "$work" && wine "$windows/batch/sepmet-batch.exe" "${args[@]}" >"$work/windows.txt")
    if ! cmp -s "$work/linux.txt" "$work/windows.txt"; then
        echo "sepmet-batch.exe ${output:-(pages)} differs from the Linux output:" >&2
        diff "$work/linux.txt" "$work/windows.txt" >&2 || true
        exit 1
    fi
done
echo "sepmet-batch.exe: JSON and pages of the demo determination equal the Linux output"
