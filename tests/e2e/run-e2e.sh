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
chrome="$profile/AppData/Local/Google/Chrome/User Data/Default"
firefox="$(echo "$profile/AppData/Roaming/Mozilla/Firefox/Profiles/"*.default-release)"
query() { sqlite3 -readonly "$1" "$2" | tr '\n' '|'; }
check "Chrome keeps the kept sites' cookies, sub-domains included" test "$(query "$chrome/Network/Cookies" 'SELECT host_key FROM cookies ORDER BY rowid')" = ".news.example.org|login.news.example.org|accounts.mail.example|"
check "Chrome keeps the kept typed addresses" test "$(query "$chrome/History" 'SELECT url FROM urls ORDER BY id')" = "https://bank.example/login|https://www.example.com/|"
check "Chrome's caches and visited links are gone" test ! -e "$chrome/Cache" -a ! -e "$chrome/Code Cache" -a ! -e "$chrome/GPUCache" -a ! -e "$chrome/Visited Links"
check "Firefox keeps the kept sites' cookies" test "$(query "$firefox/cookies.sqlite" 'SELECT host FROM moz_cookies ORDER BY id')" = ".news.example.org|login.news.example.org|accounts.mail.example|"
check "Firefox keeps its bookmark without visits" test "$(query "$firefox/places.sqlite" 'SELECT p.url || p.visit_count FROM moz_bookmarks b JOIN moz_places p ON p.id = b.fk')" = "https://forum.example.org/thread/12070|"
check "every browser database is whole" test "$(for db in "$chrome/Network/Cookies" "$chrome/History" "$firefox/cookies.sqlite" "$firefox/places.sqlite"; do query "$db" 'PRAGMA integrity_check'; done)" = "ok|ok|ok|ok|"
check "Firefox's cache is gone" test -z "$(ls -A "$profile/AppData/Local/Mozilla/Firefox/Profiles/"*/ 2>/dev/null)"

# ---- Cancel at the temp-folder prompt deletes nothing there ----
scenario=cancel
wine "$seed" --temp 5 --plain </dev/null >/dev/null 2>&1 || fail "seeding"
before="$(find "$profile/Temp" | sort)"
run_clean /auto >"$root/cancel.log"
check "no line between the temp step's markers" grep -qzP -- '-- BEGIN \|\| Delete Temp Files\n-- END   \|\| Delete Temp Files\n' "$root/cancel.log"
check "temp files untouched" test "$before" = "$(find "$profile/Temp" | sort)"

# ---- links in the temp folder and under a plugin's lines lead out of the prefix: nothing behind
# them changes, the links stay, and everything else goes ----
scenario=links
outside="$root/outside"
mkdir -p "$outside/inner"
echo precious >"$outside/inner/precious.txt"
echo precious >"$outside/file.txt"
ln -s "$outside" "$profile/Temp/link-out"
ln -s "$outside/file.txt" "$profile/Temp/flink.txt"
echo junk >"$profile/Temp/junk.tmp"
mkdir -p "$drive/e2e-links/sub"
echo junk >"$drive/e2e-links/plain.txt"
echo junk >"$drive/e2e-links/sub/inner.txt"
ln -s "$outside/file.txt" "$drive/e2e-links/flink.txt"
ln -s "$outside/file.txt" "$drive/e2e-links/sub/flink.txt"
ln -s "$outside" "$drive/e2e-links/dlink"
links_program="$drive/Tools/NimbralLinks"
mkdir -p "$links_program/plugins"
cp "$nimbral" "$build/src/corvelHistoryDeleter.dll" "$links_program/"
printf 'C:\\e2e-links\\flink.txt\r\nC:\\e2e-links\\*.*\r\nC:\\e2e-links\\dlink\\*.* >plus subdirectories<\r\nC:\\e2e-links\\*.* >plus subdirectories<\r\n' >"$links_program/plugins/Links.ww1"
settings='HKCU\Software\VB and VBA Program Settings\Nimbral Windows Cleaner\Settings'
wine reg add "$settings" /v plugLinks /d True /f >/dev/null 2>&1
wine "C:\\Tools\\NimbralLinks\\nimbral.exe" /auto /yes </dev/null 2>/dev/null | tr -d '\r' |
    sed "s/\\\\users\\\\$user\\\\/\\\\users\\\\USER\\\\/g" >"$root/links.log"
check "the targets of the links survive" test "$(cat "$outside/inner/precious.txt" "$outside/file.txt")" = "$(printf 'precious\nprecious')"
check "the temp folder's removal is reported as failed" grep -qx 'Could not delete: C:\\users\\USER\\Temp' "$root/links.log"
check "the file link in the temp folder is reported" grep -qx 'Could not Delete: flink.txt' "$root/links.log"
check "plain files around the links are deleted" test ! -e "$profile/Temp/junk.tmp"
check "the links in the temp folder stay" test -L "$profile/Temp/flink.txt" -a -L "$profile/Temp/link-out"
check "the plugin deletes the plain file beside the link" grep -qx 'Deleted File: C:\\e2e-links\\plain.txt' "$root/links.log"
check "the plugin cannot remove the folder link" grep -qx 'Could not delete: C:\\e2e-links\\dlink' "$root/links.log"
check "the plugin cannot remove the folder holding links" grep -qx 'Could not delete: C:\\e2e-links' "$root/links.log"
check "the plugin's links stay" test -L "$drive/e2e-links/flink.txt" -a -L "$drive/e2e-links/sub/flink.txt" -a -L "$drive/e2e-links/dlink"
check "no line claims a link was deleted" test -z "$(grep -E 'Deleted File: .*flink|File Deleted: flink' "$root/links.log")"
wine reg add "$settings" /v plugLinks /d False /f >/dev/null 2>&1

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

# ---- a hostile plugin: it tries the Windows folder, the profile and the system folders under
# every name it can find, and removes the system's windir value so that a second run, started
# without windir and with a user-level windir pointing elsewhere, might think the Windows folder
# moved. Nothing of them changes, in either run ----
scenario=hostile
windows_before="$(ls -A "$drive/windows" | wc -l)|$(ls -A "$drive/windows/system32" | wc -l)"
profile_before="$(ls -A "$profile" | sort | tr '\n' '|')"
prefix_z="Z:$(echo "$WINEPREFIX" | tr '/' '\\')\\drive_c"
mkdir -p "$WINEPREFIX/dosdevices/unc/localhost"
ln -sfn ../../../drive_c "$WINEPREFIX/dosdevices/unc/localhost/cshare"
{
    printf 'C:\\windows\\*.* >plus subdirectories<\r\n'
    printf '%s\\windows\\*.* >plus subdirectories<\r\n' "$prefix_z"
    printf '%s\\windows\\*.*\r\n' "$prefix_z"
    printf '\\\\localhost\\cshare\\users\\%s\\*.* >plus subdirectories<\r\n' "$user"
    printf '\\\\localhost\\cshare\\windows\\*.*\r\n'
    printf 'C:\\windows\\system32\\*.*\r\n'
    printf 'C:\\windows\\explorer.exe\r\n'
    printf 'C:\\windows\\win.ini\r\n'
    printf 'C:\\Program Files\\*.* >plus subdirectories<\r\n'
    printf 'C:\\users\\%s\\AppData\\*.* >plus subdirectories<\r\n' "$user"
    printf 'C:\\Tools\\NimbralLinks\\*.* >plus subdirectories<\r\n'
} >"$links_program/plugins/Hostile.ww1"
printf 'HKey_Local_Machine\\System\\CurrentControlSet\\Control\\Session Manager\\Environment\\+ Value`= windir\r\n' >"$links_program/plugins/Hostile.ww2"
for plugin in Mine Theirs; do wine reg add "$settings" /v "plug$plugin" /d False /f >/dev/null 2>&1; done
wine reg add "$settings" /v plugHostile /d True /f >/dev/null 2>&1
wine reg add "$settings" /v enc /d 0 /f >/dev/null 2>&1
wine reg add "$settings" /v td /d 'C:\windows' /f >/dev/null 2>&1
for flag in detype dehist decook deintt dedocu demedi derecy deruns; do
    wine reg add "$settings" /v "$flag" /d 0 /f >/dev/null 2>&1
done
wine reg add "$settings" /v dewint /d 1 /f >/dev/null 2>&1
# The first run starts without windir in its environment at all.
wine cmd /c "set windir=&& C:\\Tools\\NimbralLinks\\nimbral.exe /auto /yes" </dev/null 2>/dev/null | tr -d '\r' >"$root/hostile1.log"
check "the plugin removed the system's windir value" test -z "$(wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager\Environment' /v windir 2>/dev/null | grep -i windir)"
# The second starts with the user's own windir, pointing elsewhere, and no system one.
wine reg add 'HKCU\Environment' /v windir /d 'C:\elsewhere' /f >/dev/null 2>&1
wine "C:\\Tools\\NimbralLinks\\nimbral.exe" /auto /yes </dev/null 2>/dev/null | tr -d '\r' >"$root/hostile2.log"
for log in hostile1 hostile2; do
    check "$log: the temp step refuses the Windows folder" grep -qx 'Refused to delete C:\\windows: it is or holds the Windows folder' "$root/$log.log"
    check "$log: eleven refusals from the plugin and one from the temp step, nothing deleted" test "$(grep -c '^Refused to delete ' "$root/$log.log")|$(grep -cE '^(Deleted File|Deleted Directory|File Deleted)' "$root/$log.log")" = "12|0"
done
check "the Windows folder and its system folder are whole" test "$(ls -A "$drive/windows" | wc -l)|$(ls -A "$drive/windows/system32" | wc -l)" = "$windows_before"
check "the profile is whole" test "$(ls -A "$profile" | sort | tr '\n' '|')" = "$profile_before"
check "the program's own folder is whole" test -f "$links_program/nimbral.exe" -a -f "$links_program/plugins/Hostile.ww1"
wine reg delete 'HKCU\Environment' /v windir /f >/dev/null 2>&1

# ---- the community rules: two made-up applications and an entry that goes for everything it should
# not, run as plugins; exactly the named files and keys go, every refusal is logged, nothing else
# changes ----
scenario=rules
. "$here/rules/seed-apps.sh"
rm -rf "$drive/Program Files/washer"
rules_program="$drive/Tools/NimbralRules"
mkdir -p "$rules_program/plugins"
cp "$nimbral" "$build/src/corvelHistoryDeleter.dll" "$rules_program/"
install_rule_file "$rules_program/plugins"
seed_rule_apps "$drive" "$profile"
for flag in detype dehist decook deintt dedocu demedi dewint derecy deruns; do
    wine reg add "$settings" /v "$flag" /d 0 /f >/dev/null 2>&1
done
for entry in Quillpad Orbitmail Sweeper Ghostwriter; do
    wine reg add "$settings" /v "plug$entry" /d True /f >/dev/null 2>&1
done
wine "C:\\Tools\\NimbralRules\\nimbral.exe" /rules </dev/null 2>/dev/null | tr -d '\r' |
    sed "s/\\\\users\\\\$user\\\\/\\\\users\\\\USER\\\\/g" >"$root/rules-report.txt"
check "the report counts the file's entries and those listed here" \
    grep -qzP 'Version: 260101\nEntries: 4\nListed on this machine: 3\n' "$root/rules-report.txt"
check "the report names the hostile entry's refusals" \
    test "$(grep -c '^Line [0-9]* \[Sweeper\]: ' "$root/rules-report.txt")" = 4
# Every entry outside the Windows folder, with its size and time for a file.
snapshot_machine() {
    for top in "$drive" "$HOME"; do
        (cd "$top" && {
            find . -path ./windows -prune -o -type d -printf '%p|d\n'
            find . -path ./windows -prune -o ! -type d -printf '%p|%y|%s|%T@\n'
        })
    done | LC_ALL=C sort >"$1"
}
snapshot_machine "$root/rules-before.txt"
# The profile named alone ends in a colon, not a backslash.
wine "C:\\Tools\\NimbralRules\\nimbral.exe" /auto /yes </dev/null 2>/dev/null | tr -d '\r' |
    sed "s/\\\\users\\\\$user\\([\\\\:]\\)/\\\\users\\\\USER\\1/g" >"$root/rules.log"
compare_log "$here/rules.expected" "$root/rules.log"
snapshot_machine "$root/rules-after.txt"
LC_ALL=C comm -3 "$root/rules-before.txt" "$root/rules-after.txt" |
    sed -e "s#/$user/#/USER/#" -e 's/|.*//' -e 's/^\t/new /' -e '/^new /!s/^/gone /' |
    LC_ALL=C sort >"$root/rules-changed.txt"
a=./users/USER/AppData
printf 'gone %s\n' "$a/Local/Orbitmail/crash-1.dmp" "$a/Local/Orbitmail/crash-2.dmp" "$a/Local/Quillpad/Cache/a.tmp" \
    "$a/Local/Quillpad/Cache/sub/b.tmp" "$a/Local/Quillpad/Logs/q.log" \
    "$a/Roaming/Orbitmail/Profiles/k3x9.default/cache2" "$a/Roaming/Orbitmail/Profiles/k3x9.default/cache2/entries" \
    "$a/Roaming/Orbitmail/Profiles/k3x9.default/cache2/entries/E1" \
    "$a/Roaming/Orbitmail/Profiles/k3x9.default/cache2/entries/E2" \
    "$a/Roaming/Orbitmail/Profiles/k3x9.default/cache2/index" "$a/Roaming/Quillpad/recent.lst" |
    LC_ALL=C sort >"$root/rules-gone.txt"
if diff -u "$root/rules-gone.txt" "$root/rules-changed.txt" >"$root/rules-diff.txt"; then pass; else
    fail "what changed on the machine is not exactly what the rules named"
    cat "$root/rules-diff.txt"
fi
check "the named key went with its subkeys" key_absent 'HKCU\Software\Quillpad\Recent'
check "the named value went" test -z "$(reg_value 'HKCU\Software\Quillpad' LastFile)"
check "its neighbour stays" test "$(reg_value 'HKCU\Software\Quillpad' Theme)" = dark

wineserver -k 2>/dev/null
echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
