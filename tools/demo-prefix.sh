#!/bin/sh
# Prepares the demonstration machine: a Wine prefix in FOLDER (by default $XDG_DATA_HOME/nimbral, where
# scripts/run.sh runs the program) with a home, trash and configuration of its own, made once and then
# seeded once by seed_demo.exe with browsing traces, recent documents, temp and recycled files and the
# program's settings. A later call finds it seeded and does nothing, unless --reseed is given.
#
# usage: tools/demo-prefix.sh [--reseed] [FOLDER] [-- SEED_DEMO_OPTIONS...]
# SEED_DEMO names the seed_demo.exe to run; by default that of build/windows, built when missing.
# What was seeded is kept in FOLDER/seeded.
set -eu
repo="$(cd "$(dirname "$0")/.." && pwd)"
. "$repo/tools/fresh-prefix.sh"

reseed=0
data="${XDG_DATA_HOME:-$HOME/.local/share}/nimbral"
while [ $# -gt 0 ]; do
    case "$1" in
    --reseed) reseed=1 ;;
    --) shift; break ;;
    -*) echo "usage: $0 [--reseed] [FOLDER] [-- SEED_DEMO_OPTIONS...]" >&2; exit 2 ;;
    *) data="$1" ;;
    esac
    shift
done
[ $# -gt 0 ] || set -- all
case "$data" in
/*) ;;
*) data="$PWD/$data" ;;
esac

# Also for a machine prepared before the fonts were installed.
if [ -d "$data/prefix/drive_c/windows" ]; then
    wine_fonts "$data/prefix"
fi
if [ -f "$data/seeded" ] && [ "$reseed" = 0 ]; then
    exit 0
fi

log="$(mktemp)"
trap 'rm -f "$log"' EXIT
fail() {
    echo "$0: $1" >&2
    cat "$log" >&2
    exit 1
}

exe="${SEED_DEMO:-$repo/build/windows/tools/seed/seed_demo.exe}"
if [ ! -f "$exe" ]; then
    (cd "$repo" && cmake --preset windows && cmake --build --preset windows --target seed_demo) >"$log" 2>&1 ||
        fail "cannot build seed_demo.exe"
fi

# The same layout as scripts/run.sh, so the program later runs on exactly this machine.
export WINEPREFIX="$data/prefix" HOME="$data/home" XDG_DATA_HOME="$data/xdg/data"
export XDG_CONFIG_HOME="$data/xdg/config" XDG_CACHE_HOME="$data/xdg/cache"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX" "$HOME" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
if [ ! -f "$data/ready" ]; then
    wineboot -i </dev/null >/dev/null 2>&1 || true
    [ -d "$WINEPREFIX/drive_c/windows" ] || fail "wineboot did not make a prefix in $WINEPREFIX"
    touch "$data/ready"
fi
wine_fonts "$WINEPREFIX"

wine "$exe" "$@" </dev/null >"$log" 2>&1 || fail "seed_demo.exe failed"
# Wine keeps the registry in the server's memory and writes it out when the server ends: wait for
# that, so a seeded mark always means a seeded registry on disk.
wineserver -w
tr -d '\r' <"$log" >"$data/seeded"
echo "Seeded a demonstration machine in $data"
