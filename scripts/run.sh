#!/bin/sh
# Builds the program, lays it out in build/app and runs it under Wine, in a prefix of its own under
# $XDG_DATA_HOME/nimbral with its own home, so it never sees the real user's files or trash.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh

cmake --preset windows >/dev/null
cmake --build --preset windows --target nimbral
cmake --install build/windows --prefix build/app >/dev/null

data="${XDG_DATA_HOME:-$HOME/.local/share}/nimbral"
export WINEPREFIX="$data/prefix" HOME="$data/home" XDG_DATA_HOME="$data/xdg/data"
export XDG_CONFIG_HOME="$data/xdg/config" XDG_CACHE_HOME="$data/xdg/cache"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX" "$HOME" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
if [ ! -f "$data/ready" ]; then
    wineboot -i </dev/null >/dev/null 2>&1 || true
    touch "$data/ready"
fi

if [ -n "${DISPLAY:-}" ]; then
    exec wine build/app/nimbral.exe "$@"
else
    exec xvfb-run -a wine build/app/nimbral.exe "$@"
fi
