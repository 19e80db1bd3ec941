#!/bin/bash
# A preview proves itself against a clean: two prefixes seeded alike, nimbral.exe /auto /preview in
# one and /auto /yes in the other. The preview's lines after its first must be the clean's lines,
# and the previewed prefix must be as it was: the whole registry, the URL cache, every file with its
# size and times (profile, trash and the folders the links lead to included).
#
# usage: run-preview.sh BUILD_DIR [--large]
#   --large  the e2e benchmark's machine (20,000 cache entries, 5,000 cookie files, 20,000 temp
#            files) instead of the demonstration machine; takes several minutes
set -u
build="$(cd "$1" && pwd)"
here="$(cd "$(dirname "$0")" && pwd)"
large=false
[ "${2:-}" = --large ] && large=true
root="$build/wine-preview"
nimbral="$build/src/nimbral.exe"
seed="$build/tools/seed/seed_demo.exe"
user="${USER:-$(id -un)}"
settings='HKCU\Software\VB and VBA Program Settings\Nimbral Windows Cleaner\Settings'

failures=0
passes=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
check() { # description, command...
    local what="$1"
    shift
    if "$@"; then passes=$((passes + 1)); else fail "$what"; fi
}

. "$here/../../tools/fresh-prefix.sh"
. "$here/rules/seed-apps.sh"

use_prefix() {
    export WINEPREFIX="$root/$1/prefix" HOME="$root/$1/home" XDG_DATA_HOME="$root/$1/xdg/data"
    export XDG_CONFIG_HOME="$root/$1/xdg/config" XDG_CACHE_HOME="$root/$1/xdg/cache"
    drive="$WINEPREFIX/drive_c"
    profile="$drive/users/$user"
}

# The same machine in each prefix: the demonstration traces, the program installed with its sample
# plugins, links out of the prefix in the temp folder and under a plugin's lines, a plugin that goes
# for the Windows folder, the profile and the program's own folder, and the community rules.
seed_prefix() {
    fresh_prefix "$root/$1"
    use_prefix "$1"
    if $large; then
        wine "$seed" --cache 20000 --cookies 5000 --temp 20000 --plain </dev/null >/dev/null 2>&1 || fail "seeding $1"
    else
        wine "$seed" all --plain </dev/null >/dev/null 2>&1 || fail "seeding $1"
    fi

    local program="$drive/Program Files/Nimbral" outside="$root/$1/outside"
    mkdir -p "$program/plugins" "$outside/inner" "$drive/e2e-links/sub"
    cp "$nimbral" "$build/src/corvelHistoryDeleter.dll" "$program/"
    cp "$here/../../src/app/plugins/"* "$program/plugins/"
    echo precious >"$outside/inner/precious.txt"
    echo precious >"$outside/file.txt"
    ln -s "$outside" "$profile/Temp/link-out"
    ln -s "$outside/file.txt" "$profile/Temp/flink.txt"
    echo junk >"$drive/e2e-links/plain.txt"
    echo junk >"$drive/e2e-links/sub/inner.txt"
    ln -s "$outside/file.txt" "$drive/e2e-links/flink.txt"
    ln -s "$outside" "$drive/e2e-links/dlink"
    printf 'C:\\e2e-links\\flink.txt\r\nC:\\e2e-links\\plain.txt\r\nC:\\e2e-links\\*.*\r\nC:\\e2e-links\\dlink\\*.* >plus subdirectories<\r\nC:\\e2e-links\\sub\\*.* >plus subdirectories<\r\nC:\\e2e-links\\sub\\*.* >plus subdirectories<\r\nC:\\e2e-links\\*.* >plus subdirectories<\r\n' >"$program/plugins/Links.ww1"
    {
        printf 'C:\\windows\\*.* >plus subdirectories<\r\n'
        printf 'C:\\windows\\win.ini\r\n'
        printf 'C:\\users\\%s\\*.* >plus subdirectories<\r\n' "$user"
        printf 'C:\\Program Files\\Nimbral\\*.* >plus subdirectories<\r\n'
    } >"$program/plugins/Hostile.ww1"
    printf 'HKey_Current_User\\Software\\NimbralPreview\\+ Value`= Gone\r\nHKey_Current_User\\Software\\NimbralPreview\\Sub\\- Key*\r\nHKey_Current_User\\Software\\NimbralPreview\\- Key*\r\nHKey_Current_User\\Software\\NimbralPreview\\- Key*\r\n' >"$program/plugins/Hostile.ww2"
    # The community rules, with two made-up applications on the machine and an entry that goes for
    # everything it should not.
    install_rule_file "$program/plugins"
    seed_rule_apps "$drive" "$profile"
    for entry in Quillpad Orbitmail Sweeper; do
        wine reg add "$settings" /v "plug$entry" /d True /f >/dev/null 2>&1
    done
    wine reg add 'HKCU\Software\NimbralPreview' /v Gone /d 1 /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\NimbralPreview\Sub' /v x /d 1 /f >/dev/null 2>&1
    for plugin in Links Hostile 'WordPad and Paint' 'Registry Editor' 'Windows Temp Folder'; do
        wine reg add "$settings" /v "plug$plugin" /d True /f >/dev/null 2>&1
    done
    if $large; then
        # As the e2e benchmark ticks them: the three categories whose deletions dominate.
        for flag in detype dehist decook deintt dedocu demedi dewint derecy deruns; do
            value=0
            case $flag in decook | deintt | dewint) value=1 ;; esac
            wine reg add "$settings" /v $flag /d $value /f >/dev/null 2>&1
        done
    fi
    # Let the server write out what the seeding changed, so the snapshots see a settled prefix.
    wineserver -k 2>/dev/null
    wineserver -p </dev/null >/dev/null 2>&1
}

# Everything a clean could change, as text. The registry is read through the registry editor, since
# the server keeps it in memory; its files in the prefix are left out of the file listing.
snapshot() { # name
    local out="$root/$1"
    rm -f "$out".*
    # Written outside the prefix, through the drive that maps the whole file system.
    wine regedit /E "Z:${out//\//\\}.reg" </dev/null >/dev/null 2>&1
    wine "$seed" --list-cache </dev/null 2>/dev/null | tr -d '\r' >"$out.cache"
    (cd "$root/previewed" && find . -path ./prefix/system.reg -prune -o -path ./prefix/user.reg -prune -o \
        -path ./prefix/userdef.reg -prune -o -printf '%p %y %s %T@ %C@ %m %l\n' | LC_ALL=C sort) >"$out.files"
    (cd "$XDG_DATA_HOME" && find Trash -printf '%p %s %T@\n' 2>/dev/null | LC_ALL=C sort) >"$out.trash"
}

seconds() { # output file, command...
    local out="$1" start end
    shift
    start=$(date +%s.%N)
    "$@" </dev/null 2>/dev/null | tr -d '\r' >"$out"
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f", b - a }'
}

echo "seeding two prefixes alike..."
seed_prefix previewed
seed_prefix cleaned

use_prefix previewed
wineserver -p </dev/null >/dev/null 2>&1
snapshot before
preview_time=$(seconds "$root/preview.log" wine "C:\\Program Files\\Nimbral\\nimbral.exe" /auto /preview)
snapshot after
wineserver -k 2>/dev/null

use_prefix cleaned
wineserver -p </dev/null >/dev/null 2>&1
clean_time=$(seconds "$root/clean.log" wine "C:\\Program Files\\Nimbral\\nimbral.exe" /auto /yes)
wineserver -k 2>/dev/null

check "the first line says it is a preview" test "$(head -n 1 "$root/preview.log")" = \
    "Preview: nothing was changed. These are the lines a clean would write now, with the temp folder question answered OK:"
tail -n +2 "$root/preview.log" >"$root/preview-lines.log"
if diff -u "$root/clean.log" "$root/preview-lines.log" >"$root/lines.diff"; then passes=$((passes + 1)); else
    fail "the preview's lines differ from the clean's"
    head -n 60 "$root/lines.diff"
fi
check "the clean deleted, refused and failed" test "$(grep -cE '^(Deleted File|File Deleted|Deleted Directory|Deleted URL)' "$root/clean.log")" -gt 0 -a \
    "$(grep -c '^Refused to delete ' "$root/clean.log")" -gt 0 -a "$(grep -c '^Could not ' "$root/clean.log")" -gt 0
for part in reg cache files trash; do
    if cmp -s "$root/before.$part" "$root/after.$part"; then passes=$((passes + 1)); else
        fail "the preview changed the prefix: $part"
        if [ $part = reg ]; then
            diff <(iconv -f UTF-16 -t UTF-8 "$root/before.reg") <(iconv -f UTF-16 -t UTF-8 "$root/after.reg") | head -n 20
        else
            diff "$root/before.$part" "$root/after.$part" | head -n 20
        fi
    fi
done
check "the snapshots saw the machine" test -s "$root/before.reg" -a -s "$root/before.cache" -a -s "$root/before.trash"

echo "lines compared: $(wc -l <"$root/clean.log")"
echo "preview: $preview_time s, clean: $clean_time s"
awk -v p="$preview_time" -v c="$clean_time" 'BEGIN { printf "ratio preview/clean: %.2f\n", p / c }'
echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
