#!/usr/bin/env bash
# Checks that every #include between the repository's folders is an edge scripts/layers.txt
# allows, and that Qt is included only where the table says "qt". Prints each offending line;
# exit 1 when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A allowed
while IFS= read -r line; do
    [[ -z "$line" || "$line" == \#* ]] && continue
    allowed["${line%%:*}"]=" ${line#*:} "
done < scripts/layers.txt

status=0
for folder in "${!allowed[@]}"; do
    edges=${allowed[$folder]}
    while IFS= read -r file; do
        while IFS= read -r hit; do
            number=${hit%%:*}
            text=${hit#*:}
            if [[ "$text" =~ \#include\ *\<Q || "$text" =~ \#include\ *\"Q[A-Z] ]]; then
                if [[ "$edges" != *" qt "* ]]; then
                    echo "$file:$number: Qt in $folder/: $text"
                    status=1
                fi
            elif [[ "$text" =~ \#include\ *\"([a-z_]+)/ ]]; then
                target=${BASH_REMATCH[1]}
                if [[ -d "$target" && "$target" != "$folder" && "$edges" != *" $target "* ]]; then
                    echo "$file:$number: $folder/ may not include $target/: $text"
                    status=1
                fi
            fi
        done < <(grep -n '#include' "$file" || true)
    done < <(find "$folder" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.h.in' \))
done
if [[ $status -eq 0 ]]; then
    echo "layers: every include runs downward"
fi
exit $status
