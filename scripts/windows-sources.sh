#!/usr/bin/env bash
# Prepares the sources of the libraries that Debian ships no MinGW build of, from Debian's own
# source packages: SQLite's amalgamation (sqlite3.c, sqlite3.h, made by SQLite's own build, which
# needs tcl) and pugixml. Usage: windows-sources.sh CACHE_DIR
# CACHE_DIR (build/windows-sources of the checkout) is shared by every Windows build folder; a
# prepared cache is left as it is, so a rebuild fetches nothing.
set -euo pipefail

cache=${1:?usage: windows-sources.sh CACHE_DIR}
mkdir -p "$cache"
cache=$(cd "$cache" && pwd)

if [[ -f $cache/sqlite3/sqlite3.c && -f $cache/pugixml/src/pugixml.cpp ]]; then
    exit 0
fi

work=$(mktemp -d "$cache/prepare.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
# Unpacked with Debian's patches applied, as the Linux packages are built.
apt-get source -qq sqlite3 pugixml >/dev/null 2>apt.log || { cat apt.log >&2; exit 1; }

sqlite_dir=$(find . -maxdepth 1 -type d -name 'sqlite3-*' | head -n 1)
pugixml_dir=$(find . -maxdepth 1 -type d -name 'pugixml-*' | head -n 1)
[[ -n $sqlite_dir && -n $pugixml_dir ]] || { echo "windows-sources: unpacking failed" >&2; exit 1; }

mkdir sqlite-build
(cd sqlite-build && "../$sqlite_dir/configure" --quiet >configure.log 2>&1 &&
    make -s sqlite3.c >make.log 2>&1) || {
    echo "windows-sources: making sqlite3.c failed, see $work/sqlite-build" >&2
    trap - EXIT
    exit 1
}
mkdir -p "$cache/sqlite3.new"
cp sqlite-build/sqlite3.c sqlite-build/sqlite3.h "$cache/sqlite3.new/"
cp "$sqlite_dir/src/sqlite3ext.h" "$cache/sqlite3.new/" 2>/dev/null ||
    cp sqlite-build/sqlite3ext.h "$cache/sqlite3.new/"
rm -rf "$cache/sqlite3" && mv "$cache/sqlite3.new" "$cache/sqlite3"

rm -rf "$cache/pugixml"
mkdir -p "$cache/pugixml"
cp -r "$pugixml_dir/src" "$cache/pugixml/"
echo "windows-sources: prepared $cache" >&2
