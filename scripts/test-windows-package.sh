#!/usr/bin/env bash
# The Windows Installer package as laboratory IT would use it, on a fresh Wine prefix (a new
# workstation): its tables and properties, the zip beside it, an install that puts every file
# where the plug-in and the host look, the installed sepmet-batch.exe running the demo
# determination with the installed template, the installed sepmet.dll loaded by the test host,
# removal that keeps a changed template, an install into another folder, and an upgrade.
# Usage: test-windows-package.sh LINUX_BUILD WINDOWS_BUILD (both built; the packages are made
# here by scripts/package-windows.sh when missing).
set -euo pipefail
linux=$(cd "$1" && pwd)
windows=$(cd "$2" && pwd)
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

fail() {
    echo "test-windows-package: $*" >&2
    exit 1
}
expect() { # WHAT ACTUAL EXPECTED
    [[ $2 == "$3" ]] || fail "$1 is \"$2\", expected \"$3\""
}

version=$(sed -n 's/^project(sepmet VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
msi=$windows/sepmet-$version.msi
zip=$windows/sepmet-$version-win32.zip
[[ -f $msi && -f $zip ]] || bash "$root/scripts/package-windows.sh" "$windows"
template=$root/share/Orvane4/Templates/sepmet/Report.xsl
product_name="sepmet: Метанол в газе сепарации"
publisher="Разработчики sepmet"
copyright="© 2026 Разработчики sepmet"

work=$(mktemp -d "$windows/package-test.XXXXXX")
cleanup() {
    rm -rf "$work" "$windows/sepmet-1.0.99.0.msi" "$windows/sepmet-1.0.99.0-win32.zip"
    [[ -n ${WINEPREFIX:-} ]] && wineserver -k 2>/dev/null || true
}
trap cleanup EXIT

echo "-- tables and properties (msiinfo)"
tables=$(msiinfo tables "$msi")
for table in Property Directory Component File Feature FeatureComponents Media Registry \
    Upgrade LaunchCondition AppSearch RegLocator CustomAction InstallExecuteSequence Icon; do
    grep -qx "$table" <<<"$tables" || fail "the package has no $table table"
done
column() { # TABLE KEY COLUMN-NUMBER: one value of a row, by its first column
    msiinfo export "$msi" "$1" | tr -d '\r' | awk -F'\t' -v key="$2" -v n="$3" \
        'NR > 3 && $1 == key { print $n }'
}
# The texts of Programs and Features are those of the about box.
for text in "$publisher" "$copyright"; do
    grep -qF "u\"$text\"" "$root/resources/dialog_template_1028.cpp" ||
        fail "the about box does not show \"$text\""
done
while IFS='|' read -r property value; do
    expect "property $property" "$(column Property "$property" 2)" "$value"
done <<EOF
ProductName|$product_name
Manufacturer|$publisher
ARPCONTACT|$publisher
ARPCOMMENTS|$copyright
ProductVersion|$version
UpgradeCode|{A4BB1748-3DB0-4BA7-8840-4D85959BBB07}
ALLUSERS|1
ProductLanguage|1049
EOF
expect "the template's component attributes (permanent, never overwritten)" \
    "$(column Component ReportTemplate 4)" 144
expect "INSTALLDIR's default" "$(column Directory INSTALLDIR 3)" Plugins
expect "sepmet.dll's file version" "$(column File sepmet.dll 5)" "$version"
expect "sepmet-batch.exe's file version" "$(column File sepmet_batch.exe 5)" "$version"
expect "the event source's registry key" "$(column Registry "$(column Component EventSource 6)" 3)" \
    'SYSTEM\CurrentControlSet\Services\EventLog\Application\sepmet\'
# Actions between the ones they need and the ones that need them, in both sequences where they run.
while read -r table before action after; do
    at() { column "$table" "$1" 3; }
    (($(at "$before") < $(at "$action") && $(at "$action") < $(at "$after"))) ||
        fail "$action is not between $before and $after in $table"
done <<EOF
InstallUISequence AppSearch DefaultPublicDocuments CostFinalize
InstallUISequence AppSearch RestoreInstallDir CostFinalize
InstallExecuteSequence AppSearch DefaultPublicDocuments CostFinalize
InstallExecuteSequence AppSearch RestoreInstallDir CostFinalize
InstallExecuteSequence CostFinalize SetInstallLocation RegisterProduct
InstallExecuteSequence InstallInitialize RemoveExistingProducts InstallFiles
EOF
msiinfo suminfo "$msi" | grep -q '^Template: Intel;' || fail "the package is not for 32-bit Windows"

echo "-- the zip holds the package's files"
msiextract -C "$work/msi" "$msi" >/dev/null
unzip -q "$zip" -d "$work/zip"
expect "the zip's files" "$(cd "$work/zip" && find . -type f | sort | tr '\n' ' ')" \
    "./Orvane4/Templates/sepmet/Report.xsl ./sepmet-batch.exe ./sepmet.dll "
for file in sepmet.dll sepmet-batch.exe; do
    cmp -s "$work/zip/$file" "$work/msi/Program Files/Orvane4/Plugins/$file" ||
        fail "$file in the zip differs from the package's"
done
cmp -s "$work/zip/Orvane4/Templates/sepmet/Report.xsl" "$template" || fail "the zip's template differs"

echo "-- install on a fresh Wine prefix"
rm -rf "$windows/package-test"
mkdir -p "$windows/package-test"
source "$root/scripts/wine-prefix.sh"
wine_prefix_start "$windows/package-test"
unix_path() { winepath -u "$1" 2>/dev/null; }
msiexec() { # ARGUMENTS...: the exit status of Wine's msiexec, quietly
    local status=0
    wine msiexec "$@" /qn >/dev/null 2>&1 || status=$?
    echo "$status"
}
registry_value() { # KEY NAME
    wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
# "Programs and Features": VALUE of every entry named like the product, one line each.
entries() {
    wine reg export 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' \
        "$(winepath -w "$work/uninstall.reg")" /y >/dev/null 2>&1
    iconv -f UTF-16 -t UTF-8 "$work/uninstall.reg" | tr -d '\r' |
        awk -v RS= -v name="\"DisplayName\"=\"$product_name\"" -v value="\"$1\"=" '
            index($0, name) { n = split($0, line, "\n")
                              for (i = 1; i <= n; i++)
                                  if (index(line[i], value) == 1) print substr(line[i], length(value) + 1) }'
}
installed_version() { entries DisplayVersion | tr -d '"' | tr '\n' ' '; }
event_source='HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\sepmet'

package=$(winepath -w "$msi")
program_files=$(unix_path "$(wine cmd /c echo %ProgramFiles% | tr -d '\r')")/Orvane4/Plugins
# Where the plug-in finds its template: the public documents folder the shell reports.
documents=$(registry_value 'HKLM\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' \
    'Common Documents')
installed_template=$(unix_path "$documents")/Orvane4/Templates/sepmet/Report.xsl
expect "msiexec /i" "$(msiexec /i "$package")" 0
cmp -s "$program_files/sepmet.dll" "$windows/plugin/sepmet.dll" || fail "sepmet.dll not installed"
cmp -s "$program_files/sepmet-batch.exe" "$windows/batch/sepmet-batch.exe" ||
    fail "sepmet-batch.exe not installed"
cmp -s "$installed_template" "$template" || fail "Report.xsl not installed in $documents"
expect "the event source's types" "$(registry_value "$event_source" TypesSupported)" 0x7
expect "the event source's message file" "$(registry_value "$event_source" EventMessageFile)" \
    'C:\Program Files\Orvane4\Plugins\sepmet.dll'
wine reg query "$event_source" /v EventMessageFile 2>/dev/null | grep -q REG_EXPAND_SZ ||
    fail "the event source's message file is not REG_EXPAND_SZ"
expect "Programs and Features: versions" "$(installed_version)" "$version "
expect "Programs and Features: publisher" "$(entries Publisher)" "\"$publisher\""
expect "Programs and Features: comments" "$(entries Comments)" "\"$copyright\""
expect "Programs and Features: location" "$(entries InstallLocation)" \
    '"C:\\Program Files\\Orvane4\\Plugins\\"'

echo "-- the installed programs"
"$linux/tools/demo_database/sepmet-demo-database" "$work/demo.db"
batch_report() { # REPORT: the demo determination through the installed sepmet-batch.exe
    (cd "$work" && wine 'C:\Program Files\Orvane4\Plugins\sepmet-batch.exe' --db demo.db \
        --vW 100 --vG 10 --rhoG 0.7 --add 1-12 --report "$1" >/dev/null 2>&1) ||
        fail "the installed sepmet-batch.exe failed"
    grep -q '0,120736' "$work/$1" || fail "$1 lacks the demo determination's result"
}
batch_report installed.html
grep -qF '<title>Метанол в газе сепарации — протокол расчета</title>' "$work/installed.html" ||
    fail "the report was not made with the installed template"
# The laboratory changes its template: the next report shows it.
sed -i 's/протокол расчета</протокол лаборатории</' "$installed_template"
batch_report changed.html
grep -qF 'протокол лаборатории' "$work/changed.html" || fail "the changed template was not used"
# The host's way of loading a plug-in, on the installed file.
SEPMET_MODULE='C:\Program Files\Orvane4\Plugins\sepmet.dll' wine \
    "$windows/tests/plugin/plugin_tests.exe" --gtest_filter='PluginModule.*' >"$work/load.txt" 2>&1 ||
    { cat "$work/load.txt" >&2; fail "the installed sepmet.dll did not load in the test host"; }

echo "-- remove, install elsewhere, upgrade"
expect "msiexec /x" "$(msiexec /x "$package")" 0
[[ ! -e $program_files/sepmet.dll && ! -e $program_files/sepmet-batch.exe ]] ||
    fail "msiexec /x left the programs"
[[ -z $(registry_value "$event_source" TypesSupported) ]] || fail "msiexec /x left the event source"
expect "Programs and Features after removal" "$(installed_version)" ""
grep -qF 'протокол лаборатории' "$installed_template" || fail "msiexec /x removed the changed template"

lab=$(unix_path 'C:\Lab\sepmet')
expect "msiexec /i INSTALLDIR=" "$(msiexec /i "$package" 'INSTALLDIR=C:\Lab\sepmet')" 0
[[ -f $lab/sepmet.dll && ! -e $program_files/sepmet.dll ]] || fail "INSTALLDIR was not followed"
expect "the installation folder's record" "$(registry_value 'HKLM\SOFTWARE\sepmet' InstallDir)" \
    'C:\Lab\sepmet\'
grep -qF 'протокол лаборатории' "$installed_template" || fail "the install overwrote the template"

# The upgrade goes into the folder of the version it replaces, without INSTALLDIR again.
SEPMET_PACKAGE_VERSION=1.0.99.0 bash "$root/scripts/package-windows.sh" "$windows" >/dev/null
later=$(winepath -w "$windows/sepmet-1.0.99.0.msi")
expect "msiexec /i 1.0.99.0 over $version" "$(msiexec /i "$later")" 0
expect "Programs and Features after the upgrade" "$(installed_version)" "1.0.99.0 "
[[ -f $lab/sepmet.dll && ! -e $program_files/sepmet.dll ]] ||
    fail "the upgrade did not stay in the earlier installation's folder"
grep -qF 'протокол лаборатории' "$installed_template" || fail "the upgrade overwrote the template"
[[ $(msiexec /i "$package") != 0 ]] || fail "an older version was installed over a newer one"
expect "Programs and Features after the refused downgrade" "$(installed_version)" "1.0.99.0 "
expect "msiexec /x 1.0.99.0" "$(msiexec /x "$later")" 0
[[ ! -e $lab/sepmet.dll && ! -e $lab/sepmet-batch.exe ]] || fail "msiexec /x left $lab"
[[ -z $(registry_value 'HKLM\SOFTWARE\sepmet' InstallDir) ]] ||
    fail "msiexec /x left the installation folder's record"
echo "sepmet-$version.msi: installed, used, removed, installed elsewhere and upgraded under Wine"
