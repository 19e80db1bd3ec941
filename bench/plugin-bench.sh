#!/bin/bash
# Plugin benchmark under Wine: a ".ww1" line "...\*.* >plus subdirectories<" over a tree of 100,000
# files and a "...\*.*" over a folder of 20,000 files, run as a selected plugin by nimbral.exe /auto,
# timed against minimal_plugin.exe making the same deletions on an identical tree, in the same run.
#
# usage: bench/plugin-bench.sh [BUILD_DIR]   (default build/windows)
set -eu
build="$(cd "${1:-build/windows}" && pwd)"
root="$build/wine-plugin-bench"
export WINEPREFIX="$root/prefix" HOME="$root/home" XDG_DATA_HOME="$root/xdg/data"
export XDG_CONFIG_HOME="$root/xdg/config" XDG_CACHE_HOME="$root/xdg/cache"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
settings='HKCU\Software\VB and VBA Program Settings\Nimbral Windows Cleaner\Settings'

wineserver -k 2>/dev/null || true
rm -rf "$root"
mkdir -p "$WINEPREFIX" "$HOME" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
wineserver -p </dev/null >/dev/null 2>&1
wineboot -i </dev/null >/dev/null 2>&1
drive="$WINEPREFIX/drive_c"

# 100,000 files in 100 folders of 10 subfolders, and 20,000 files in one folder.
make_fixture() {
    rm -rf "$drive/bench"
    mkdir -p "$drive/bench/flat"
    for a in $(seq 0 99); do
        for b in $(seq 0 9); do
            mkdir -p "$drive/bench/tree/d$a/s$b"
            (cd "$drive/bench/tree/d$a/s$b" && touch $(seq -f 'f%g.tmp' 0 99))
        done
    done
    (cd "$drive/bench/flat" && seq -f 'f%g.tmp' 0 19999 | xargs touch)
}

program="$drive/Program Files/Nimbral"
mkdir -p "$program/plugins"
cp "$build/src/nimbral.exe" "$build/src/corvelHistoryDeleter.dll" "$program/"
printf 'C:\\bench\\tree\\*.* >plus subdirectories<\r\nC:\\bench\\flat\\*.*\r\n' >"$program/plugins/Bench.ww1"
for flag in detype dehist decook deintt dedocu demedi dewint derecy deruns; do
    wine reg add "$settings" /v $flag /d 0 /f >/dev/null 2>&1
done
wine reg add "$settings" /v plugBench /d True /f >/dev/null 2>&1

seconds() {
    local start end
    start=$(date +%s.%N)
    "$@" </dev/null >/dev/null 2>&1
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f", b - a }'
}

make_fixture
timed_program=$(seconds wine "C:\\Program Files\\Nimbral\\nimbral.exe" /auto)
left_program=$(find "$drive/bench" -type f | wc -l)
make_fixture
timed_baseline=$(seconds wine "$build/bench/minimal_plugin.exe")
left_baseline=$(find "$drive/bench" -type f | wc -l)
wineserver -k 2>/dev/null || true

echo "nimbral.exe /auto (plugin): ${timed_program} s, ${left_program} files left"
echo "minimal_plugin.exe:         ${timed_baseline} s, ${left_baseline} files left"
awk -v p="$timed_program" -v b="$timed_baseline" 'BEGIN { printf "ratio: %.2f\n", p / b }'
