#!/bin/bash
# The temp step over large folders under Wine: 50,000 files in the temp folder, then 50,000 files
# spread over a tree 100 folders deep, each cleaned by nimbral.exe /auto /yes with only the temp
# step ticked. Prints the wall time and the peak memory of each run.
#
# usage: bench/temp-bench.sh [BUILD_DIR]   (default build/windows)
set -eu
build="$(cd "${1:-build/windows}" && pwd)"
root="$build/wine-temp-bench"
export WINEPREFIX="$root/prefix" HOME="$root/home" XDG_DATA_HOME="$root/xdg/data"
export XDG_CONFIG_HOME="$root/xdg/config" XDG_CACHE_HOME="$root/xdg/cache"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
settings='HKCU\Software\VB and VBA Program Settings\Nimbral Windows Cleaner\Settings'
nimbral="${NIMBRAL_EXE:-$build/src/nimbral.exe}"

wineserver -k 2>/dev/null || true
rm -rf "$root"
mkdir -p "$WINEPREFIX" "$HOME" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
wineserver -p </dev/null >/dev/null 2>&1
wineboot -i </dev/null >/dev/null 2>&1
for flag in detype dehist decook deintt dedocu demedi derecy deruns; do
    wine reg add "$settings" /v $flag /d 0 /f >/dev/null 2>&1
done
wine reg add "$settings" /v dewint /d 1 /f >/dev/null 2>&1
wine reg add "$settings" /v enc /d 0 /f >/dev/null 2>&1
temp="$WINEPREFIX/drive_c/users/${USER:-$(id -un)}/Temp"

run() { # label
    /usr/bin/time -o "$root/time.txt" -f '%e %M' wine "$nimbral" /auto /yes </dev/null >/dev/null 2>&1
    echo "$1: $(awk '{ printf "%.1f s, %d MB", $1, $2 / 1024 }' "$root/time.txt"), $(find "$temp" -mindepth 1 | wc -l) entries left"
}

rm -rf "$temp"/*
(cd "$temp" && seq -f 'f%g.tmp' 0 49999 | xargs touch)
run "50,000 files"

rm -rf "$temp"/*
folder="$temp"
for level in $(seq 1 100); do
    folder="$folder/d$level"
    mkdir -p "$folder"
    (cd "$folder" && seq -f 'f%g.tmp' 0 499 | xargs touch)
done
run "100 levels, 50,000 files"
wineserver -k 2>/dev/null || true
