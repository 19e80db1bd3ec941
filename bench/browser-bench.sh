#!/bin/bash
# The browsers' entries under Wine: a Chrome profile with 20,000 cookies (half of them of kept sites
# or their sub-domains) and a History of 100,000 addresses and 300,000 visits (1,000 of them typed
# addresses of kept sites), with full keep-lists of 10,001 sites, cleaned by nimbral.exe /auto with
# only "Google Chrome Cookies" and "Google Chrome History" ticked, against minimal_browser.exe running
# the same DELETE statements with the same SQLite. Rounds alternate between the two on the same
# prefix, the profile restored from a pristine copy before each run. Two more runs per round tell
# where the time goes: the program with the entries unticked (its start, its settings, its plugin
# list), and the baseline with the two steps the program adds to every file (deleted content
# overwritten, the integrity check before the commit). Prints each round and the medians, with the
# median of the rounds' ratios of program to baseline.
#
# usage: bench/browser-bench.sh [BUILD_DIR] [ROUNDS]   (default build/windows, 5 rounds)
set -eu
build="$(cd "${1:-build/windows}" && pwd)"
rounds="${2:-5}"
here="$(cd "$(dirname "$0")" && pwd)"
root="$build/wine-browser-bench"
user="${USER:-$(id -un)}"
settings='HKEY_CURRENT_USER\Software\VB and VBA Program Settings\Nimbral Windows Cleaner\Settings'
. "$here/../tools/fresh-prefix.sh"

echo "seeding the profile (a minute or two)..."
fresh_prefix "$root"
data="$WINEPREFIX/drive_c/users/$user/AppData/Local/Google/Chrome/User Data"
mkdir -p "$data/Default/Network"
echo '{}' >"$data/Default/Preferences"
profile="C:\\users\\$user\\AppData\\Local\\Google\\Chrome\\User Data\\Default"
wine "$build/bench/minimal_browser.exe" seed "$profile" </dev/null
rm -rf "$root/pristine"
cp -a "$data/Default" "$root/pristine"

# The settings in one import: full keep-lists and no category ticked. The two entries are ticked
# or unticked on their own before each run.
{
    printf 'REGEDIT4\r\n\r\n[%s]\r\n"enc"="0"\r\n"run"="1"\r\n"showHelp"="0"\r\n' "$settings"
    for flag in detype dehist decook deintt dedocu demedi dewint derecy deruns; do
        printf '"%s"="0"\r\n' "$flag"
    done
    for i in $(seq 0 10000); do
        printf '"sit%d"="site%d.example"\r\n"coo%d"="site%d.example"\r\n' "$i" "$i" "$i" "$i"
    done
} >"$root/settings.reg"
wine regedit /S "Z:${root//\//\\}\\settings.reg" </dev/null >/dev/null 2>&1
tick() { # True|False
    for entry in Cookies History; do
        wine reg add "$settings" /v "plugGoogle Chrome $entry" /d "$1" /f </dev/null >/dev/null 2>&1
    done
}

# The copy is written out before the clock starts, so neither program pays for the other's files;
# and the server starts afresh with its registry saved, since a save of the full keep-lists falling
# into a run (the server saves what changed every so often) stalls every process of the prefix.
restore() {
    wineserver -k 2>/dev/null || true
    rm -rf "$data/Default"
    cp -a "$root/pristine" "$data/Default"
    sync
    wineserver -p </dev/null >/dev/null 2>&1
    wine cmd /c exit </dev/null >/dev/null 2>&1
    sync
    sleep 1
}

seconds() { # output file, command...
    local out="$1" start end
    shift
    start=$(date +%s.%N)
    "$@" </dev/null 2>/dev/null | tr -d '\r' >"$out"
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }'
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

: >"$root/program.times"
: >"$root/baseline.times"
: >"$root/bare.times"
: >"$root/checked.times"
: >"$root/ratios"
for round in $(seq 1 "$rounds"); do
    tick True
    restore
    program=$(seconds "$root/program.log" wine "$build/src/nimbral.exe" /auto)
    grep -qx "Deleted 10000 unwanted cookies in $(printf '%s' "$profile" | sed 's/\\/\\\\/g')\\\\Network\\\\Cookies" "$root/program.log" ||
        { echo "the program's log is not what the benchmark seeded for:" >&2; cat "$root/program.log" >&2; exit 1; }
    grep -q "^Deleted 99000 addresses from " "$root/program.log" || { cat "$root/program.log" >&2; exit 1; }
    restore
    baseline=$(seconds "$root/baseline.log" wine "$build/bench/minimal_browser.exe" clean "$profile")
    restore
    checked=$(seconds "$root/checked.log" wine "$build/bench/minimal_browser.exe" checked "$profile")
    tick False
    restore
    bare=$(seconds "$root/bare.log" wine "$build/src/nimbral.exe" /auto)
    echo "$program" >>"$root/program.times"
    echo "$baseline" >>"$root/baseline.times"
    echo "$bare" >>"$root/bare.times"
    echo "$checked" >>"$root/checked.times"
    awk -v p="$program" -v b="$baseline" 'BEGIN { printf "%.3f\n", p / b }' >>"$root/ratios"
    echo "round $round: nimbral.exe ${program} s, minimal_browser.exe ${baseline} s (checked ${checked} s)," \
        "nimbral.exe without the entries ${bare} s"
done
wineserver -k 2>/dev/null || true

program=$(median <"$root/program.times")
baseline=$(median <"$root/baseline.times")
bare=$(median <"$root/bare.times")
checked=$(median <"$root/checked.times")
echo "median nimbral.exe /auto:              ${program} s"
echo "median minimal_browser.exe:            ${baseline} s"
echo "median minimal_browser.exe checked:    ${checked} s (with secure_delete and integrity_check)"
echo "median nimbral.exe without the entries: ${bare} s (start, settings, plugin list)"
awk -v p="$program" -v b="$baseline" -v e="$bare" \
    'BEGIN { printf "the two entries alone: %.3f s, %.2fx the baseline\n", p - e, (p - e) / b }'
echo "median ratio of the rounds: $(median <"$root/ratios")"
