#!/bin/bash
# The installer in a fresh prefix of its own: a silent install, a clean by the installed program of
# the demonstration traces, a silent uninstall; then nothing of ours is left but the settings. A
# second round keeps a plugin the user added and removes the settings when asked to.
#
# usage: test-installer.sh BUILD_DIR SETUP_EXE
set -u
build="$(cd "$1" && pwd)"
setup="$2"
here="$(cd "$(dirname "$0")" && pwd)"
root="$build/wine-installer"
. "$here/../tools/fresh-prefix.sh"
user="${USER:-$(id -un)}"
drive="$root/prefix/drive_c"
program="$drive/Program Files/Nimbral"
shortcut="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Nimbral Windows Cleaner.lnk"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Nimbral Windows Cleaner'
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
settings_key='HKCU\Software\VB and VBA Program Settings\Nimbral Windows Cleaner\Settings'

failures=0
passes=0
check() { # description, command...
    local what="$1"
    shift
    if "$@"; then passes=$((passes + 1)); else
        echo "FAIL [$round]: $what"
        failures=$((failures + 1))
    fi
}

reg_value() { # key, value name
    wine reg query "$1" /v "$2" /reg:64 2>/dev/null | tr -d '\r' |
        awk -v n="    $2    " 'index($0, n) == 1 { sub(/^.*    REG_[A-Z_]+    /, ""); print }'
}
key_absent() { ! wine reg query "$1" /reg:64 >/dev/null 2>&1; }
key_present() { wine reg query "$1" /reg:64 >/dev/null 2>&1; }

# The uninstaller runs on from a copy of itself in the temp folder; the server tells when it ends.
install() { wine "$(winepath -w "$setup")" /S </dev/null >/dev/null 2>&1; wineserver -w; }
uninstall() { wine "C:\\Program Files\\Nimbral\\uninstall.exe" /S "$@" </dev/null >/dev/null 2>&1; wineserver -w; }

fresh_prefix "$root"
# No persistent server from here on: waiting for the server to end is how the uninstaller's end is
# seen.
wineserver -k

round=install
install
for file in nimbral.exe corvelHistoryDeleter.dll Help.rtf uninstall.exe "plugins/WordPad and Paint.ww1" "plugins/Registry Editor.ww2"; do
    check "installed: $file" test -f "$program/$file"
done
check "the Start-menu shortcut" test -f "$shortcut"
check "DisplayName" test "$(reg_value "$uninstall_key" DisplayName)" = "Nimbral Windows Cleaner"
check "UninstallString" test "$(reg_value "$uninstall_key" UninstallString)" = '"C:\Program Files\Nimbral\uninstall.exe"'
check "DisplayVersion" test "$(reg_value "$uninstall_key" DisplayVersion)" = "2.2"
check "Publisher" test "$(reg_value "$uninstall_key" Publisher)" = "Ardent Lume"
check "DisplayIcon" test "$(reg_value "$uninstall_key" DisplayIcon)" = 'C:\Program Files\Nimbral\nimbral.exe,0'

round=clean
wine "$build/tools/seed/seed_demo.exe" all --plain </dev/null >/dev/null 2>&1 || check "seeding" false
wine "C:\\Program Files\\Nimbral\\nimbral.exe" /auto /yes </dev/null 2>/dev/null | tr -d '\r' |
    sed "s/\\\\users\\\\$user\\\\/\\\\users\\\\USER\\\\/g" >"$root/clean.log"
check "the installed program writes the demonstration's log" diff -u "$build/../../tests/e2e/demo.expected" "$root/clean.log"
check "the temp folder is empty" test -z "$(ls -A "$drive/users/$user/Temp")"
# What the wizard writes when the user ticks "Run at startup".
wine reg add "$run_key" /v "Nimbral Windows Cleaner" /d '"C:\Program Files\Nimbral/nimbral"' /reg:64 /f >/dev/null 2>&1
check "the Run value is there to remove" test -n "$(reg_value "$run_key" "Nimbral Windows Cleaner")"

round=uninstall
uninstall
check "nothing of ours under Program Files" test ! -e "$program"
check "the shortcut is gone" test ! -e "$shortcut"
check "the uninstall entry is gone" key_absent "$uninstall_key"
check "the Run value is gone" test -z "$(reg_value "$run_key" "Nimbral Windows Cleaner")"
check "the settings stay" test "$(reg_value "$settings_key" enc)" = 0

round="user's plugin"
install
printf 'C:\\mine\\*.*\r\n' >"$program/plugins/Mine.ww1"
uninstall /RemoveSettings
check "the plugin the user added stays" test -f "$program/plugins/Mine.ww1"
check "beside it nothing of ours" test "$(cd "$program" && find . -type f)" = "./plugins/Mine.ww1"
check "the settings are removed when asked" key_absent 'HKCU\Software\VB and VBA Program Settings\Nimbral Windows Cleaner'

wineserver -k 2>/dev/null
echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
