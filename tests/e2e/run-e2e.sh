#!/bin/bash
# End-to-end runs of nimbral.exe /auto in a fresh prefix of their own: seed the machine with
# seed_demo.exe, run the clean, compare the whole log with the expected one and look at the machine
# afterwards through Wine's own registry and file system.
#
# usage: run-e2e.sh BUILD_DIR
set -u
build="$(cd "$1" && pwd)"
here="$(cd "$(dirname "$0")" && pwd)"
root="$build/wine-e2e"
export WINEPREFIX="$root/prefix" HOME="$root/home" XDG_DATA_HOME="$root/xdg/data"
export XDG_CONFIG_HOME="$root/xdg/config" XDG_CACHE_HOME="$root/xdg/cache"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
nimbral="$build/src/nimbral.exe"
seed="$build/tools/seed/seed_demo.exe"
user="${USER:-$(id -un)}"
drive="$WINEPREFIX/drive_c"
profile="$drive/users/$user"

failures=0
passes=0
fail() {
    echo "FAIL [$scenario]: $*"
    failures=$((failures + 1))
}
pass() { passes=$((passes + 1)); }
check() { # description, command...
    local what="$1"
    shift
    if "$@"; then pass; else fail "$what"; fi
}

start_prefix() {
    wineserver -k 2>/dev/null
    rm -rf "$root"
    mkdir -p "$WINEPREFIX" "$HOME" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
    wineserver -p </dev/null >/dev/null 2>&1
    wineboot -i </dev/null >/dev/null 2>&1
}

# The log as the program wrote it, with the user's name made neutral so expected logs hold anywhere.
run_clean() {
    wine "$nimbral" "$@" </dev/null 2>/dev/null | tr -d '\r' | sed "s/\\\\users\\\\$user\\\\/\\\\users\\\\USER\\\\/g"
}

reg_value() { # key, value name
    wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v n="$2" '$1 == n { sub(/^ *[^ ]+ +REG_SZ +/, ""); print }'
}

key_absent() { ! wine reg query "$1" >/dev/null 2>&1; }

compare_log() { # expected file, actual file
    if diff -u "$1" "$2" >"$root/diff.txt"; then pass; else
        fail "log differs from $(basename "$1")"
        cat "$root/diff.txt"
    fi
}

start_prefix

# ---- the demonstration machine, everything ticked, temp folder confirmed ----
scenario=demo
wine "$seed" all --plain </dev/null >/dev/null 2>&1 || fail "seeding"
run_clean /auto /yes >"$root/demo.log"
compare_log "$here/demo.expected" "$root/demo.log"
typed='HKCU\Software\Microsoft\Internet Explorer\TypedURLs'
check "kept typed addresses renumbered" test "$(reg_value "$typed" url1)|$(reg_value "$typed" url2)|$(reg_value "$typed" url3)" = "http://www.example.com/|bank.example/login|"
media='HKCU\Software\Microsoft\MediaPlayer\Player\RecentFileList'
check "media decoys written" test "$(reg_value "$media" File0)" = 'c:\Classical Favourites.mpeg'
check "Run box list cleared" test -z "$(reg_value 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\RunMRU' MRUList)"
check "search list key deleted" key_absent 'HKCU\Software\Microsoft\Search Assistant\ACMru\5603'
check "temp folder still there" test -d "$profile/Temp"
check "temp folder empty" test -z "$(ls -A "$profile/Temp")"
check "recycled files gone" test -z "$(ls -A "$XDG_DATA_HOME/Trash/files" 2>/dev/null | grep -v '^Old drafts')"
check "the WordPad sample plugin removed its recent files" key_absent 'HKCU\Software\Microsoft\Windows\CurrentVersion\Applets\Wordpad\Recent File List'
check "kept cookie file survives" test -n "$(ls "$profile/AppData/Local/Microsoft/Windows/INetCookies" | grep -i 'news.example.org')"

# ---- Cancel at the temp-folder prompt deletes nothing there ----
scenario=cancel
wine "$seed" --temp 5 --plain </dev/null >/dev/null 2>&1 || fail "seeding"
before="$(find "$profile/Temp" | sort)"
run_clean /auto >"$root/cancel.log"
check "no line between the temp step's markers" grep -qzP -- '-- BEGIN \|\| Delete Temp Files\n-- END   \|\| Delete Temp Files\n' "$root/cancel.log"
check "temp files untouched" test "$before" = "$(find "$profile/Temp" | sort)"

# ---- a link inside the temp folder leads out of the prefix: its target survives ----
scenario=link
outside="$root/outside"
mkdir -p "$outside/inner"
echo precious >"$outside/inner/precious.txt"
ln -s "$outside" "$profile/Temp/link-out"
echo junk >"$profile/Temp/junk.tmp"
run_clean /auto /yes >"$root/link.log"
check "target of the link survives" test -f "$outside/inner/precious.txt"
check "the folder's removal is reported as failed" grep -qx 'Could not delete: C:\\users\\USER\\Temp' "$root/link.log"
check "plain files around the link are deleted" test ! -e "$profile/Temp/junk.tmp"

# ---- nothing ticked: only the plugin step ----
scenario=nothing
for flag in detype dehist decook deintt dedocu demedi dewint derecy deruns; do
    wine reg add 'HKCU\Software\VB and VBA Program Settings\Nimbral Windows Cleaner\Settings' /v "$flag" /d 0 /f >/dev/null 2>&1
done
run_clean /auto >"$root/nothing.log"
check "three lines" test "$(cat "$root/nothing.log")" = "$(printf -- '-- BEGIN || Plugins\n-- END   || Plugins\n  ')"

# ---- plugins from both folders, the program's copy winning, selections from the settings ----
scenario=plugins
settings='HKCU\Software\VB and VBA Program Settings\Nimbral Windows Cleaner\Settings'
program="$drive/Program Files/Nimbral"
washer="$drive/Program Files/washer"
mkdir -p "$program/plugins" "$washer" "$drive/e2e/files/sub" "$drive/e2e/theirs/deep"
cp "$nimbral" "$build/src/corvelHistoryDeleter.dll" "$program/"
cp "$here/../../src/app/plugins/"* "$program/plugins/"
for f in mine/a.txt mine/keep.txt files/one.txt files/two.txt files/sub/three.txt theirs/deep/x.txt washer.txt; do
    mkdir -p "$(dirname "$drive/e2e/$f")"
    echo data >"$drive/e2e/$f"
done
printf 'No entries.\r\n\r\nC:\\e2e\\mine\\a.txt\r\nC:\\e2e\\files\\*.*\nC:\\e2e\\mine\\missing.txt' >"$program/plugins/Mine.ww1"
printf 'HKey_Current_User\\Software\\NimbralE2E\\+ Value`= Gone\r\nHKey_Current_User\\Software\\NimbralE2E\\{6F3A1C2B-1111-2222-3333-444455556666}\\- Key*\r\n' >"$program/plugins/Mine.ww2"
printf 'C:\\e2e\\washer.txt\r\n' >"$washer/Mine.ww1"
printf 'C:\\e2e\\theirs\\*.* >plus subdirectories<\r\n' >"$washer/Theirs.ww1"
printf 'C:\\e2e\\washer.txt\r\n' >"$washer/Unticked.ww1"
wine reg add 'HKCU\Software\NimbralE2E' /v Gone /d 1 /f >/dev/null 2>&1
wine reg add 'HKCU\Software\NimbralE2E' /v Stays /d 1 /f >/dev/null 2>&1
wine reg add 'HKCU\Software\NimbralE2E\{6F3A1C2B-1111-2222-3333-444455556666}' /v x /d 1 /f >/dev/null 2>&1
for plugin in Mine Theirs; do wine reg add "$settings" /v "plug$plugin" /d True /f >/dev/null 2>&1; done
for plugin in 'WordPad and Paint' 'Registry Editor'; do wine reg add "$settings" /v "plug$plugin" /d False /f >/dev/null 2>&1; done
wine "C:\\Program Files\\Nimbral\\nimbral.exe" /auto </dev/null 2>/dev/null | tr -d '\r' >"$root/plugins.log"
compare_log "$here/plugins.expected" "$root/plugins.log"
check "the listed file is deleted" test ! -e "$drive/e2e/mine/a.txt"
check "a file not listed stays" test -e "$drive/e2e/mine/keep.txt"
check "*.* leaves the subfolder" test -e "$drive/e2e/files/sub/three.txt"
check "the second folder's copy of a plugin is not run" test -e "$drive/e2e/washer.txt"
check "plus subdirectories removes the folder" test ! -e "$drive/e2e/theirs"
check "the named value is deleted" test -z "$(reg_value 'HKCU\Software\NimbralE2E' Gone)"
check "its neighbour stays" test "$(reg_value 'HKCU\Software\NimbralE2E' Stays)" = 1
check "a key with hyphens in its name is deleted" key_absent 'HKCU\Software\NimbralE2E\{6F3A1C2B-1111-2222-3333-444455556666}'

wineserver -k 2>/dev/null
echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
