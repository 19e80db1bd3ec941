#!/bin/bash
# End-to-end benchmark under Wine: a clean run over a machine seeded with 20,000 cache entries,
# 5,000 cookie files and 20,000 temp files, against two baselines making only the same deletions on
# the same machine: minimal_clean.exe with DeleteFileA (the plain floor), and with the checked
# deletion the program makes (--checked), so the report tells the program's own cost from the
# check's. Three rounds, the three interleaved, each on its own copy of the seeded machine; every
# round is printed, then the medians of the rounds' ratios.
#
# usage: bench/e2e-bench.sh [BUILD_DIR]   (default build/windows; needs nimbral, seed_demo, minimal_clean)
set -eu
build="$(cd "${1:-build/windows}" && pwd)"
root="$build/wine-bench"
. "$(dirname "$0")/rounds.sh"

echo "seeding the machine (a few minutes)..."
new_prefix "$root/seeded"
wine "$build/tools/seed/seed_demo.exe" --cache 20000 --cookies 5000 --temp 20000 --plain </dev/null >/dev/null
# Only the three categories whose deletions the baselines repeat, with empty keep-lists.
tick_categories decook deintt dewint
wineserver -k 2>/dev/null || true

plain_ratios=() checked_ratios=()
for round in 1 2 3; do
    copy_prefix "$root/seeded" "$root/run"
    program=$(seconds wine "$build/src/nimbral.exe" /auto /yes)
    copy_prefix "$root/seeded" "$root/run"
    plain=$(seconds wine "$build/bench/minimal_clean.exe")
    copy_prefix "$root/seeded" "$root/run"
    checked=$(seconds wine "$build/bench/minimal_clean.exe" --checked)
    echo "round $round: nimbral.exe /auto /yes ${program} s, plain ${plain} s, checked ${checked} s"
    plain_ratios+=("$(ratio "$program" "$plain")")
    checked_ratios+=("$(ratio "$program" "$checked")")
done
wineserver -k 2>/dev/null || true
rm -rf "$root/run"

echo "median ratio (program / plain): $(median "${plain_ratios[@]}")"
echo "median ratio (program / checked): $(median "${checked_ratios[@]}")"
