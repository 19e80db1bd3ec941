# Sourced by the end-to-end scripts: the traces of the two made-up applications of rules/winapp2.ini
# on the machine of the current WINEPREFIX.
# seed_rule_apps DRIVE_C PROFILE
seed_rule_apps() {
    local local_data="$2/AppData/Local" roaming="$2/AppData/Roaming"
    mkdir -p "$local_data/Quillpad/Cache/sub" "$local_data/Quillpad/Logs" "$roaming/Quillpad" \
        "$1/Program Files/Orbitmail" "$roaming/Orbitmail/Profiles/k3x9.default/cache2/entries" "$local_data/Orbitmail"
    for f in "$local_data/Quillpad/Cache/a.tmp" "$local_data/Quillpad/Cache/sub/b.tmp" \
        "$local_data/Quillpad/Cache/keep.tmp" "$local_data/Quillpad/Cache/notes.txt" "$local_data/Quillpad/Logs/q.log" \
        "$local_data/Quillpad/Logs/q.txt" "$roaming/Quillpad/recent.lst" "$roaming/Quillpad/settings.cfg" \
        "$1/Program Files/Orbitmail/orbit.exe" "$roaming/Orbitmail/Profiles/k3x9.default/cache2/entries/E1" \
        "$roaming/Orbitmail/Profiles/k3x9.default/cache2/entries/E2" "$roaming/Orbitmail/Profiles/k3x9.default/cache2/index" \
        "$roaming/Orbitmail/Profiles/k3x9.default/places.sqlite" \
        "$roaming/Orbitmail/Profiles/k3x9.default/places.sqlite-journal" \
        "$roaming/Orbitmail/Profiles/k3x9.default/prefs.js" "$local_data/Orbitmail/crash-1.dmp" \
        "$local_data/Orbitmail/crash-2.dmp" "$local_data/Orbitmail/other.dmp"; do
        echo data >"$f"
    done
    wine reg add 'HKCU\Software\Quillpad' /v LastFile /d 'C:\notes.qp' /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Quillpad' /v Theme /d dark /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Quillpad\Recent\Files' /v 1 /d 'C:\a.qp' /f >/dev/null 2>&1
}

# install_rule_file PLUGINS_FOLDER: the rule file with the CR LF line ends of the published one.
install_rule_file() {
    sed 's/$/\r/' "$(dirname "${BASH_SOURCE[0]}")/winapp2.ini" >"$1/winapp2.ini"
}
