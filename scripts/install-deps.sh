#!/usr/bin/env bash
# Installs the Debian 12 packages that sepmet builds, tests and runs with, if any are missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    libsqlite3-dev sqlite3 libpugixml-dev libxml2-dev libxslt1-dev xsltproc libsystemd-dev
    qt6-base-dev qt6-qpa-plugins qt6-svg-dev libqt6svg6 qt6-translations-l10n libssl-dev
    fonts-dejavu-core xvfb xauth xdotool x11-apps netpbm weasyprint poppler-utils lintian desktop-file-utils
    dpkg-dev file
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-14-dev unicode-data g++-multilib clang-format
    g++-mingw-w64-i686-posix wine wine32:i386 fonts-wine tcl msitools imagemagick librsvg2-bin icoutils
    wixl zip unzip
)

# The Windows build runs 32-bit Windows programs under Wine (wine32 is an i386 package) and
# compiles SQLite and pugixml from Debian's source packages (apt-get source needs deb-src).
sources=/etc/apt/sources.list.d/debian.sources
need_i386=0
need_deb_src=0
dpkg --print-foreign-architectures | grep -qx i386 || need_i386=1
if [[ -f $sources ]] && ! grep -q '^Types:.*deb-src' "$sources"; then need_deb_src=1; fi
if [[ $need_i386 -eq 1 || $need_deb_src -eq 1 ]]; then
    if [[ $(id -u) -ne 0 ]]; then
        echo "sepmet: as root, add the i386 architecture and a deb-src entry:" >&2
        echo "    dpkg --add-architecture i386" >&2
        echo "    sed -i 's/^Types: deb\$/Types: deb deb-src/' $sources && apt-get update" >&2
        exit 1
    fi
    [[ $need_i386 -eq 1 ]] && dpkg --add-architecture i386
    # The source entries beside the binary ones, same archives and suites.
    [[ $need_deb_src -eq 1 ]] && sed -i 's/^Types: deb$/Types: deb deb-src/' "$sources"
    apt-get update -qq
fi

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -ne 0 ]]; then
    echo "sepmet: these Debian packages are missing: ${missing[*]}" >&2
    echo "sepmet: install them as root with:" >&2
    echo "    apt-get update && apt-get install -y --no-install-recommends ${missing[*]}" >&2
    exit 1
fi

echo "sepmet: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
