#!/bin/sh
# Installs what building and testing need, on Debian 12 as root, and prepares SQLite's source in the
# build area (build/sqlite3) from Debian's own source package. Quick when everything is there.
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
# dpkg-dev unpacks the source package; tcl runs the generator of SQLite's one-file source; the
# sqlite3 shell holds a database locked in the tests, as a running browser does. fonts-wine has the
# Marlett font Wine draws the title bars' buttons with; without it they show as letters.
packages="cmake ninja-build g++ g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
wine wine64 fonts-wine xvfb xauth googletest libbenchmark-dev imagemagick time nsis dpkg-dev tcl make sqlite3"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    # shellcheck disable=SC2086
    apt-get install -y -q --no-install-recommends $missing
fi

sqlite="$root/build/sqlite3"
if [ -f "$sqlite/sqlite3.c" ] && [ -f "$sqlite/sqlite3.h" ]; then
    exit 0
fi

# Source packages come from the machine's own mirrors: each enabled "deb" entry gets a "deb-src"
# twin when the machine has none, so no host is named here.
if ! apt-cache showsrc sqlite3 2>/dev/null | grep -q '^Package:'; then
    twins=/etc/apt/sources.list.d/nimbral-deb-src
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        awk '
            BEGIN { RS = ""; FS = "\n" }
            {
                types = ""; rest = ""; enabled = 1
                for (i = 1; i <= NF; i++) {
                    if ($i ~ /^#/) continue
                    if (tolower($i) ~ /^types:/) { types = $i; continue }
                    if (tolower($i) ~ /^enabled:[[:space:]]*no/) enabled = 0
                    rest = rest $i "\n"
                }
                if (enabled && types ~ /[[:space:]]deb([[:space:]]|$)/) printf "Types: deb-src\n%s\n", rest
            }' /etc/apt/sources.list.d/debian.sources >"$twins.sources"
    fi
    if [ -f /etc/apt/sources.list ]; then
        sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' /etc/apt/sources.list >"$twins.list"
        [ -s "$twins.list" ] || rm -f "$twins.list"
    fi
    apt-get update -q
fi

echo "Preparing SQLite from Debian's source package in $sqlite"
work="$root/build/sqlite3-source"
rm -rf "$work"
mkdir -p "$work"
cd "$work"
# --no-upgrade: the source of the SQLite this machine's Debian has, not a newer one pulled in on the way.
apt-get source -q --no-upgrade -o APT::Sandbox::User=root sqlite3 >apt-source.log 2>&1 ||
    { cat apt-source.log >&2; exit 1; }
tree="$(find . -maxdepth 1 -type d -name 'sqlite3-*' | head -n 1)"
cd "$tree"
{ ./configure --disable-tcl && make sqlite3.c; } >"$work/generate.log" 2>&1 || { tail -n 30 "$work/generate.log" >&2; exit 1; }
mkdir -p "$sqlite"
cp sqlite3.c sqlite3.h "$sqlite/"
dpkg-parsechangelog -S Version >"$sqlite/VERSION" 2>/dev/null || true
cd "$root"
rm -rf "$work"
