#!/bin/bash
# End-to-end benchmark under Wine: a clean run over a prefix seeded with 20,000 cache entries,
# 5,000 cookie files and 20,000 temp files, timed against minimal_clean.exe doing only the same
# deletions in an identically seeded prefix, in the same run. Prints both times and their ratio.
#
# usage: bench/e2e-bench.sh [BUILD_DIR]   (default build/windows; needs nimbral, seed_demo, minimal_clean)
set -eu
build="$(cd "${1:-build/windows}" && pwd)"
root="$build/wine-bench"
seed_options=(--cache 20000 --cookies 5000 --temp 20000 --plain)
settings='HKCU\Software\VB and VBA Program Settings\Nimbral Windows Cleaner\Settings'

use_prefix() {
    export WINEPREFIX="$root/$1/prefix" HOME="$root/$1/home" XDG_DATA_HOME="$root/$1/xdg/data"
    export XDG_CONFIG_HOME="$root/$1/xdg/config" XDG_CACHE_HOME="$root/$1/xdg/cache"
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
}

prepare() {
    use_prefix "$1"
    wineserver -k 2>/dev/null || true
    rm -rf "$root/$1"
    mkdir -p "$WINEPREFIX" "$HOME" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
    wineserver -p </dev/null >/dev/null 2>&1
    wineboot -i </dev/null >/dev/null 2>&1
    wine "$build/tools/seed/seed_demo.exe" "${seed_options[@]}" </dev/null >/dev/null
    # Only the three categories whose deletions the baseline repeats, with empty keep-lists.
    for flag in detype dehist decook deintt dedocu demedi dewint derecy deruns; do
        value=0
        case $flag in decook | deintt | dewint) value=1 ;; esac
        wine reg add "$settings" /v $flag /d $value /f >/dev/null 2>&1
    done
    wine reg add "$settings" /v enc /d 0 /f >/dev/null 2>&1
}

seconds() { # command... ; prints the wall time in seconds
    local start end
    start=$(date +%s.%N)
    "$@" </dev/null >/dev/null 2>&1
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f", b - a }'
}

echo "seeding two prefixes (a few minutes)..."
prepare program
prepare baseline

use_prefix program
program=$(seconds wine "$build/src/nimbral.exe" /auto /yes)
use_prefix baseline
baseline=$(seconds wine "$build/bench/minimal_clean.exe")
wineserver -k 2>/dev/null || true
use_prefix program
wineserver -k 2>/dev/null || true

echo "nimbral.exe /auto /yes: ${program} s"
echo "minimal_clean.exe:      ${baseline} s"
awk -v p="$program" -v b="$baseline" 'BEGIN { printf "ratio: %.2f\n", p / b }'
