#!/usr/bin/env bash
# The Windows packages: BUILD_DIR/sepmet-VERSION.msi (Windows Installer, built with wixl from
# packaging/windows/sepmet.wxs) and BUILD_DIR/sepmet-VERSION-win32.zip (the same files, for hosts
# that take plug-ins by copying). Builds what is missing first: an existing Windows build folder
# is brought up to date (no tests), a missing one is made by scripts/build-windows.sh.
# Usage: bash scripts/package-windows.sh [BUILD_DIR] (default build/windows)
# SEPMET_PACKAGE_VERSION gives the package another product version (the upgrade test's later
# version); the files are the same.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build/windows}

bash "$root/scripts/install-deps.sh"
if [[ -f $build/build.ninja ]]; then
    cmake --build "$build" -j2 --target sepmet sepmet-batch
elif [[ ! -f $build/plugin/sepmet.dll || ! -f $build/batch/sepmet-batch.exe ]]; then
    bash "$root/scripts/build-windows.sh" "$build"
fi
build=$(cd "$build" && pwd)

# The project's version, from the one place CMake takes it.
version=$(sed -n 's/^project(sepmet VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[[ -n $version ]] || { echo "package-windows: no version in CMakeLists.txt" >&2; exit 1; }
product_version=${SEPMET_PACKAGE_VERSION:-$version}

# The texts of the version resources (resources/version_info.rci, shared by sepmet.dll and
# sepmet-batch.exe; the DLL's description in plugin/sepmet.rc), which the about box shows too.
rc_text() {
    sed -n "s/.*VALUE \"$1\", \"\(.*\)\"/\1/p" "$root/resources/version_info.rci"
}
product_name=$(sed -n 's/^#define SEPMET_FILE_DESCRIPTION "\(.*\)"/\1/p' "$root/plugin/sepmet.rc")
publisher=$(rc_text CompanyName)
copyright=$(rc_text LegalCopyright)
[[ -n $product_name && -n $publisher && -n $copyright ]] ||
    { echo "package-windows: the version resource lacks a description, company or copyright" >&2
      exit 1; }

msi=$build/sepmet-$product_version.msi
zip=$build/sepmet-$product_version-win32.zip
stage=$(mktemp -d "$build/package.XXXXXX")
trap 'rm -rf "$stage"' EXIT
cp "$build/plugin/sepmet.dll" "$build/batch/sepmet-batch.exe" "$build/ui/win32/icons/sepmet.ico" \
    "$stage/"
mkdir -p "$stage/Orvane4/Templates/sepmet"
cp "$root/share/Orvane4/Templates/sepmet/Report.xsl" "$stage/Orvane4/Templates/sepmet/"

# wixl takes source paths relative to the folder it runs in.
(cd "$stage" && wixl --arch x86 -D Version="$product_version" -D BinDir=. \
    -D TemplateFile=Orvane4/Templates/sepmet/Report.xsl -o package.msi \
    "$root/packaging/windows/sepmet.wxs")

# What wixl cannot write: the Russian texts in code page 1251 (the string table is converted to
# the database's code page when saved), the template's component as permanent (16) and never
# overwritten (128), the file versions of sepmet.dll and sepmet-batch.exe, as their version
# resources give them (so that the installer's version rules apply to them), and the event
# source's message file as REG_EXPAND_SZ ("#%"), as the event log documents it.
printf '\r\n\r\n1251\t_ForceCodepage\r\n' >"$stage/_ForceCodepage.idt"
msibuild "$stage/package.msi" -i "$stage/_ForceCodepage.idt"
sql() { msibuild "$stage/package.msi" -q "$1"; }
sql "UPDATE Property SET Value = '$product_name' WHERE Property = 'ProductName'"
sql "UPDATE Property SET Value = '$publisher' WHERE Property = 'Manufacturer'"
sql "UPDATE Property SET Value = '$publisher' WHERE Property = 'ARPCONTACT'"
sql "UPDATE Property SET Value = '$copyright' WHERE Property = 'ARPCOMMENTS'"
sql "UPDATE LaunchCondition SET Description = 'Уже установлена более новая версия sepmet.' \
     WHERE Condition = 'NOT WIX_DOWNGRADE_DETECTED'"
sql "UPDATE Component SET Attributes = 144 WHERE Component = 'ReportTemplate'"
sql "UPDATE File SET Version = '$version', Language = '1049' \
     WHERE File = 'sepmet.dll' OR File = 'sepmet_batch.exe'"
sql "UPDATE Registry SET Value = '#%[#sepmet.dll]' WHERE Name = 'EventMessageFile'"
mv "$stage/package.msi" "$msi"

rm -f "$zip"
(cd "$stage" && zip -q -X "$zip" sepmet.dll sepmet-batch.exe Orvane4/Templates/sepmet/Report.xsl)
echo "Windows Installer package: $msi"
echo "Zip of the same files: $zip"
