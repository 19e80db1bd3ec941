#!/bin/bash
# The community rules' speed and size under Wine, in a prefix of its own with a virtual display:
#  1. a rule file of the published one's shape and size is generated (4,000 entries, 15,000
#     FileKeys) and 400 of its applications are put on the machine;
#  2. reading and detecting it as the main window's load does, and the memory it then takes;
#  3. the main window's load without the file and with it (window_bench.exe load).
# Goals: the read and detection under 0.3 s, the main window's load with the file under 0.5 s, the
# memory under 20 MB.
#
# usage: bench/rules-bench.sh [BUILD_DIR]   (default build/windows; needs rules_bench, window_bench)
# Runs under xvfb-run itself when there is no display.
set -eu
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a "$0" "$@"
fi
build="$(cd "${1:-build/windows}" && pwd)"
root="$build/wine-rules-bench"
. "$(dirname "$0")/../tools/fresh-prefix.sh"
settings='HKCU\Software\VB and VBA Program Settings\Nimbral Windows Cleaner\Settings'

fresh_prefix "$root"
drive="$WINEPREFIX/drive_c"
program="$drive/bench"
mkdir -p "$program/plugins"
cp "$build/bench/rules_bench.exe" "$build/bench/window_bench.exe" "$build/src/corvelHistoryDeleter.dll" "$program/"
wine reg add "$settings" /v run /d 1 /f >/dev/null 2>&1
wine reg add "$settings" /v showHelp /d 0 /f >/dev/null 2>&1

bench() { wine "C:\\bench\\$1" "${@:2}" </dev/null 2>/dev/null | tr -d '\r'; }

echo "== the main window's load without a rule file"
bench window_bench.exe load 7
bench rules_bench.exe generate 'C:\bench\plugins\winapp2.ini' 4000 15000
bench rules_bench.exe seed 400
echo "== reading and detecting the file (goal: under 300 ms; memory under 20 MB)"
bench rules_bench.exe detect 'C:\bench' 9
echo "== the main window's load with the file (goal: under 500 ms)"
bench window_bench.exe load 7
wineserver -k 2>/dev/null || true
