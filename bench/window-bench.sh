#!/bin/bash
# The windows' speed under Wine, in a prefix of its own with a virtual display:
#  1. the main window's load with no plugin files, then with three browsers of three profiles each
#     (Chrome, Edge and Firefox, whose nine entries join the list), then with 1,000 plugin files (500
#     in the program's "plugins" folder, 500 in c:\program files\washer);
#  2. the setup wizard opened and finished over six lists of 10,001 entries, in three rounds (see
#     window_bench.cpp);
#  3. a clean from " Clean  Now" against the headless clean (as nimbral.exe /auto /yes makes it) of
#     an identical machine, both timed in the process from their start to their end, in three
#     interleaved rounds, each on its own copy of the machine, on two machines: that of bench/e2e-bench.sh (20,000 cache entries, 5,000 cookie
#     files, 20,000 temp files; its three categories ticked), and a temp folder of 20,000 files
#     whose first-listed file is read-only, so that the folder cannot go whole and every file gets a
#     line of its own ("File Deleted: ", the read-only one too once its attributes are cleared). Each round prints both times and, from a third run with a timer that counts
#     the handled messages, the longest time in which the windows handled none; then the median
#     ratio.
#
# usage: bench/window-bench.sh [BUILD_DIR]   (default build/windows; needs window_bench, seed_demo)
# Runs under xvfb-run itself when there is no display.
set -eu
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a "$0" "$@"
fi
build="$(cd "${1:-build/windows}" && pwd)"
root="$build/wine-window-bench"
. "$(dirname "$0")/../tools/fresh-prefix.sh"
. "$(dirname "$0")/rounds.sh"
settings='HKCU\Software\VB and VBA Program Settings\Nimbral Windows Cleaner\Settings'

fresh_prefix "$root"
drive="$WINEPREFIX/drive_c"
program="$drive/bench"
mkdir -p "$program/plugins" "$drive/Program Files/washer"
cp "$build/bench/window_bench.exe" "$build/src/corvelHistoryDeleter.dll" "$program/"
wine reg add "$settings" /v run /d 1 /f >/dev/null 2>&1
# The main window alone: the help window stays closed.
wine reg add "$settings" /v showHelp /d 0 /f >/dev/null 2>&1

bench() { wine 'C:\bench\window_bench.exe' "$@" </dev/null 2>/dev/null | tr -d '\r'; }

echo "== no plugin files"
bench load 7
echo "== three browsers of three profiles each"
wine "$build/tools/seed/seed_demo.exe" --browsers 3 --no-settings </dev/null >/dev/null
bench load 7
# Gone again, so the figures below compare with earlier ones.
user="${USER:-$(id -un)}"
rm -rf "$drive/users/$user/AppData/Local/Google" "$drive/users/$user/AppData/Local/Microsoft/Edge" \
    "$drive/users/$user/AppData/Local/Mozilla" "$drive/users/$user/AppData/Roaming/Mozilla"
# Names of one length, so none holds another and every file is listed.
for i in $(seq -w 1 500); do
    printf 'C:\\nothing\\here-%s.txt\r\n' "$i" >"$program/plugins/Plugin A$i.ww1"
    printf 'C:\\nothing\\there-%s.txt\r\n' "$i" >"$drive/Program Files/washer/Plugin B$i.ww1"
done
echo "== 1,000 plugin files"
bench load 7

echo "== setup wizard over full lists"
bench wizard

# machine ROOT: a new prefix in ROOT holding the program and window_bench.exe in C:\bench, set up,
# the main window alone.
machine() {
    fresh_prefix "$1"
    mkdir -p "$WINEPREFIX/drive_c/bench"
    cp "$build/bench/window_bench.exe" "$build/src/nimbral.exe" "$build/src/corvelHistoryDeleter.dll" \
        "$WINEPREFIX/drive_c/bench/"
    wine reg add "$settings" /v run /d 1 /f >/dev/null 2>&1
    wine reg add "$settings" /v showHelp /d 0 /f >/dev/null 2>&1
}

# windowed_against_headless ROOT: the rounds over the machine in ROOT.
windowed_against_headless() {
    local ratios=() round output windowed headless gap lines
    for round in 1 2 3; do
        copy_prefix "$1" "$root/run"
        output=$(bench clean)
        windowed=$(echo "$output" | sed -n 's/^clean run: \([0-9]*\) ms.*/\1/p')
        lines=$(echo "$output" | sed -n 's/^clean run: [0-9]* ms, \([0-9]*\) log lines.*/\1/p')
        copy_prefix "$1" "$root/run"
        headless=$(wine 'C:\bench\window_bench.exe' headless </dev/null 2>&1 >/dev/null | tr -d '\r' |
            sed -n 's/^headless clean: \([0-9]*\) ms.*/\1/p')
        copy_prefix "$1" "$root/run"
        gap=$(bench clean --gaps | sed -n 's/.*longest gap between handled messages \([0-9.]*\) ms.*/\1/p')
        echo "round $round: windowed ${windowed} ms (${lines} log lines), headless ${headless} ms;" \
            "longest gap between handled messages ${gap} ms"
        ratios+=("$(ratio "$windowed" "$headless")")
    done
    echo "median ratio (windowed / headless): $(median "${ratios[@]}")"
}

echo "== windowed against headless, the machine of the e2e benchmark (seeding takes a few minutes)"
machine "$root/e2e"
wine "$build/tools/seed/seed_demo.exe" --cache 20000 --cookies 5000 --temp 20000 --plain </dev/null >/dev/null
tick_categories decook deintt dewint
wineserver -k 2>/dev/null || true
windowed_against_headless "$root/e2e"

echo "== windowed against headless, a temp folder that cannot go whole: a line for each of 20,000 files"
machine "$root/lines"
mkdir -p "$WINEPREFIX/drive_c/flattemp"
(cd "$WINEPREFIX/drive_c/flattemp" && seq -f 'scratch%g.tmp' 1 20000 | xargs touch)
# Listed first (folders list their entries by name) and read-only: the removal stops at once.
touch "$WINEPREFIX/drive_c/flattemp/a-read-only.tmp"
chmod a-w "$WINEPREFIX/drive_c/flattemp/a-read-only.tmp"
tick_categories dewint
wine reg add "$settings" /v td /d 'C:\flattemp' /f >/dev/null 2>&1
wineserver -k 2>/dev/null || true
windowed_against_headless "$root/lines"

wineserver -k 2>/dev/null || true
rm -rf "$root/run"
