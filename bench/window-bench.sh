#!/bin/bash
# The windows' speed under Wine, in a prefix of its own with a virtual display:
#  1. the main window's load with no plugin files, then with three browsers of three profiles each
#     (Chrome, Edge and Firefox, whose nine entries join the list), then with 1,000 plugin files (500
#     in the program's "plugins" folder, 500 in c:\program files\washer);
#  2. the setup wizard opened and finished over six lists of 10,001 entries, in three rounds (see
#     window_bench.cpp);
#  3. a clean run started from " Clean  Now" over the machine of bench/e2e-bench.sh (20,000 cache
#     entries, 5,000 cookie files, 20,000 temp files; its three categories ticked), and the longest
#     time during it in which the windows handled no message.
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

echo "== clean run over the e2e benchmark's machine (seeding takes a few minutes)"
wine "$build/tools/seed/seed_demo.exe" --cache 20000 --cookies 5000 --temp 20000 --plain </dev/null >/dev/null
for flag in detype dehist decook deintt dedocu demedi dewint derecy deruns; do
    value=0
    case $flag in decook | deintt | dewint) value=1 ;; esac
    wine reg add "$settings" /v $flag /d $value /f >/dev/null 2>&1
done
wine reg add "$settings" /v enc /d 0 /f >/dev/null 2>&1
wine reg add "$settings" /v showHelp /d 0 /f >/dev/null 2>&1
bench clean
wineserver -k 2>/dev/null || true
