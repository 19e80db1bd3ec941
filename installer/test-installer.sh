#!/bin/bash
# The installer in a fresh prefix of its own: a silent install, a clean by the installed program of
# the demonstration traces, a silent uninstall; then nothing of ours is left but the settings. A
# second round keeps a plugin the user added and removes the settings when asked to; then the
# start-up tool, a reinstall over a sample plugin the user changed, an install into a second folder
# (which replaces the first) and a folder given quoted.
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
install() { wine "$(winepath -w "$setup")" /S "$@" </dev/null >/dev/null 2>&1; wineserver -w; }
uninstall() { wine "C:\\Program Files\\Nimbral\\uninstall.exe" /S "$@" </dev/null >/dev/null 2>&1; wineserver -w; }
uninstall_from() { wine "$1\\uninstall.exe" /S </dev/null >/dev/null 2>&1; wineserver -w; }
# The files of the folder, one per line, sorted.
files_in() { (cd "$1" 2>/dev/null && find . -type f | sort); }

fresh_prefix "$root"
# No persistent server from here on: waiting for the server to end is how the uninstaller's end is
# seen.
wineserver -k

round=install
install
for file in nimbral.exe RunAtStartupTool.exe corvelHistoryDeleter.dll Help.rtf uninstall.exe "plugins/WordPad and Paint.ww1" "plugins/Registry Editor.ww2"; do
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

round="start-up tool"
rm -rf "$program"
install
tool='C:\Program Files\Nimbral\RunAtStartupTool.exe'
wine "$tool" /add </dev/null >/dev/null 2>&1
check "/add writes the start-up entry the wizard would" \
    test "$(reg_value "$run_key" "Nimbral Windows Cleaner")" = '"C:\Program Files\Nimbral/nimbral"'
wine "$tool" /remove </dev/null >/dev/null 2>&1
check "/remove takes it away" test -z "$(reg_value "$run_key" "Nimbral Windows Cleaner")"

round="changed sample"
sample="$program/plugins/WordPad and Paint.ww1"
ours="$(cat "$sample")"
printf 'C:\\my own\\*.*\r\n' >"$sample"
install
check "the user's change stays" test "$(cat "$sample")" = "$(printf 'C:\\my own\\*.*\r\n')"
check "ours goes beside it" test "$(cat "$sample.new")" = "$ours"
check "an unchanged sample is simply replaced" test ! -e "$program/plugins/Registry Editor.ww2.new"
install
check "installing again keeps it so" test "$(cat "$sample.new")" = "$ours"
uninstall
check "the uninstaller keeps the user's sample and nothing else" \
    test "$(files_in "$program")" = "./plugins/WordPad and Paint.ww1"
rm -rf "$program"

round="second folder"
install
second="$drive/NimbralTest"
install '/D=C:\NimbralTest'
check "the second folder holds the program" test -f "$second/nimbral.exe"
check "the first copy is uninstalled" test ! -e "$program"
check "the one entry names the second folder" test "$(reg_value "$uninstall_key" InstallLocation)" = 'C:\NimbralTest'
check "the shortcut leads to the second folder" grep -qa 'NimbralTest' "$shortcut"
uninstall_from 'C:\NimbralTest'
check "uninstalling it leaves nothing of ours" test ! -e "$second" -a ! -e "$shortcut"
check "and no entry" key_absent "$uninstall_key"

round="quoted folder"
# Given with its blank as one argument, the folder reaches the installer quoted.
install '/D=C:\Program Files\Nimbral Test'
check "a quoted /D= is read" test -f "$drive/Program Files/Nimbral Test/nimbral.exe"
check "and the default folder is not used" test ! -e "$program"
uninstall_from 'C:\Program Files\Nimbral Test'
check "uninstalled from there" test ! -e "$drive/Program Files/Nimbral Test"

wineserver -k 2>/dev/null
echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
