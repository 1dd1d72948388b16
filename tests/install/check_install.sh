#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the installed tree: exactly the files
# of installed_files.txt, no run paths, Debian's modes, compressed man pages, and the programs
# working from the prefix with the installed template.
#
# check_install.sh SOURCE_DIR BUILD_DIR DEMO_DATABASE_EXE
set -euo pipefail

source_dir=$1 build_dir=$2 demo_database=$3
here=$(cd "$(dirname "$0")" && pwd)

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

work=$(mktemp -d "${TMPDIR:-/tmp}/sepmet-install.XXXXXX")
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

# The plain install, every component: a rule outside the package's component shows up as an
# unexpected file.
env -u DESTDIR cmake --install "$build_dir" --prefix "$prefix" >"$work/install.log" ||
    { cat "$work/install.log" >&2; exit 1; }

# The file list.
expected=$(sort "$here/installed_files.txt")
actual=$(cd "$prefix" && find . \( -type f -o -type l \) | sed 's|^\./||' | sort)
if [[ "$expected" != "$actual" ]]; then
    fail "installed files differ from installed_files.txt (- expected, + installed):"
    diff <(echo "$expected") <(echo "$actual") >&2 || true
fi

# Relocatable: no run path in any installed ELF file; programs 0755, loadable modules 0644.
while IFS= read -r file; do
    if [[ $(head -c 4 "$file" | od -An -c | tr -d ' ') == 177ELF ]]; then
        if readelf -d "$file" | grep -q -E '\((RPATH|RUNPATH)\)'; then
            fail "${file#"$prefix"/} has a run path: $(readelf -d "$file" | grep -E 'RPATH|RUNPATH')"
        fi
    fi
done < <(find "$prefix" -type f)
for file in "$prefix"/bin/*; do
    [[ $(stat -c %a "$file") == 755 ]] || fail "${file#"$prefix"/} is not 0755"
done
for file in "$prefix"/lib/sepmet/*.so "$prefix"/lib/sepmet/plugins/*.so; do
    [[ $(stat -c %a "$file") == 644 ]] || fail "${file#"$prefix"/} is not 0644"
done

# Compressed texts, the template and icon as shipped, a valid desktop entry.
for file in "$prefix"/share/man/man1/*.gz "$prefix"/share/doc/sepmet/changelog.gz; do
    gzip -t "$file" 2>/dev/null || fail "${file#"$prefix"/} is not gzip data"
done
cmp -s "$source_dir/share/Orvane4/Templates/sepmet/Report.xsl" \
    "$prefix/share/Orvane4/Templates/sepmet/Report.xsl" ||
    fail "the installed Report.xsl differs from share/Orvane4/Templates/sepmet/Report.xsl"
cmp -s "$source_dir/resources/icons/sepmet.svg" \
    "$prefix/share/icons/hicolor/scalable/apps/sepmet-host.svg" ||
    fail "the installed icon differs from resources/icons/sepmet.svg"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$prefix/share/applications/sepmet-host.desktop" >&2 ||
        fail "sepmet-host.desktop does not pass desktop-file-validate"
fi

# The installed host finds the plug-in in ../lib/sepmet/plugins beside itself: the plug-in's
# menu item exists (else "no menu item" on standard error), its window opens, and SIGTERM ends
# the host cleanly with status 0. The signal is sent once the session has opened its profile
# (the signal handler is installed right after) and the window had time to open.
check_host_finds_plugin() {
    local home=$work/home
    mkdir -p "$home/runtime" && chmod 700 "$home/runtime"
    HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_CACHE_HOME=$home/cache \
        XDG_RUNTIME_DIR=$home/runtime QT_QPA_PLATFORM=offscreen "$prefix/bin/sepmet-host" \
        --db "$work/demo.db" --profile "$home/profile.sqlite" \
        --open "Данные/Расчёты/Метанол в газе сепарации" >/dev/null 2>"$work/host.err" &
    local pid=$! status=0 tries=0
    while [[ ! -e $home/profile.sqlite && $tries -lt 200 ]] && kill -0 $pid 2>/dev/null; do
        sleep 0.05
        tries=$((tries + 1))
    done
    sleep 2
    kill -TERM $pid 2>/dev/null || true
    wait $pid || status=$?
    [[ $status -eq 0 ]] || fail "sepmet-host from the prefix ends with status $status on SIGTERM"
    if grep -q -e "no menu item" -e "skipped" "$work/host.err"; then
        fail "sepmet-host from the prefix did not load its plug-in: $(cat "$work/host.err")"
    fi
}

# The programs from the prefix.
if version=$("$prefix/bin/sepmet-batch" --version 2>&1); then
    [[ "$version" == "sepmet-batch 1.0.2.0" ]] ||
        fail "sepmet-batch --version prints \"$version\", not \"sepmet-batch 1.0.2.0\""
else
    fail "sepmet-batch --version exits $?: ${version%%$'\n'*}"
fi

# The demo determination's report, rendered from the installed template only.
"$demo_database" "$work/demo.db" >/dev/null
report_with() {
    XDG_DATA_DIRS=$1 "$prefix/bin/sepmet-batch" --db "$work/demo.db" --vW 100 --vG 10 \
        --rhoG 0.7 --report "$2" --add 1-12 >/dev/null 2>"$work/batch.err"
}
if report_with "$prefix/share" "$work/report.html"; then
    grep -q "Протокол определения массовой концентрации метанола" "$work/report.html" ||
        fail "the report of the installed template lacks its heading"
else
    fail "sepmet-batch with XDG_DATA_DIRS=P/share: $(cat "$work/batch.err")"
fi
# Without the installed folder there is no template: the one above came from the prefix.
status=0
report_with "$prefix/nowhere" "$work/none.html" || status=$?
[[ $status -eq 4 ]] || fail "sepmet-batch without a template folder exits $status, not 4"

# --help needs no display.
if help=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
    "$prefix/bin/sepmet-host" --help 2>&1); then
    [[ "$help" == *--plugins* ]] || fail "sepmet-host --help does not describe --plugins"
else
    fail "sepmet-host --help exits $?: ${help%%$'\n'*}"
fi
check_host_finds_plugin

[[ $failures -eq 0 ]] || exit 1
echo "installed tree: $(echo "$actual" | wc -l) files, all checks passed"
