#!/bin/bash
# Plugin benchmark under Wine: a ".ww1" line "...\*.* >plus subdirectories<" over a tree of 100,000
# files and a "...\*.*" over a folder of 20,000 files, run as a selected plugin by nimbral.exe /auto,
# against minimal_plugin.exe making the same deletions on an identical tree with DeleteFileA (the
# plain floor) and with the checked deletion the program makes (--checked). Three rounds, the three
# interleaved, each on a tree made afresh; every round is printed, then the medians of the ratios.
#
# usage: bench/plugin-bench.sh [BUILD_DIR]   (default build/windows)
set -eu
build="$(cd "${1:-build/windows}" && pwd)"
root="$build/wine-plugin-bench"
. "$(dirname "$0")/rounds.sh"

new_prefix "$root"
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
left() { find "$drive/bench" -type f | wc -l; }

program="$drive/Program Files/Nimbral"
mkdir -p "$program/plugins"
cp "$build/src/nimbral.exe" "$build/src/corvelHistoryDeleter.dll" "$program/"
printf 'C:\\bench\\tree\\*.* >plus subdirectories<\r\nC:\\bench\\flat\\*.*\r\n' >"$program/plugins/Bench.ww1"
tick_categories
wine reg add 'HKCU\Software\VB and VBA Program Settings\Nimbral Windows Cleaner\Settings' /v plugBench \
    /d True /f >/dev/null 2>&1

plain_ratios=() checked_ratios=()
for round in 1 2 3; do
    make_fixture
    timed_program=$(seconds wine "C:\\Program Files\\Nimbral\\nimbral.exe" /auto)
    left_program=$(left)
    make_fixture
    timed_plain=$(seconds wine "$build/bench/minimal_plugin.exe")
    left_plain=$(left)
    make_fixture
    timed_checked=$(seconds wine "$build/bench/minimal_plugin.exe" --checked)
    left_checked=$(left)
    echo "round $round: nimbral.exe /auto (plugin) ${timed_program} s, plain ${timed_plain} s," \
        "checked ${timed_checked} s; files left ${left_program}, ${left_plain}, ${left_checked}"
    plain_ratios+=("$(ratio "$timed_program" "$timed_plain")")
    checked_ratios+=("$(ratio "$timed_program" "$timed_checked")")
done
wineserver -k 2>/dev/null || true

echo "median ratio (program / plain): $(median "${plain_ratios[@]}")"
echo "median ratio (program / checked): $(median "${checked_ratios[@]}")"
