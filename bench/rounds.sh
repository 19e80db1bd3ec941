# Sourced by the Wine benchmarks: prefixes of their own inside the build tree, a seeded machine made
# once and copied for every round, wall times, and the medians of interleaved rounds.

# use_prefix ROOT: points Wine at ROOT/prefix with a home, trash and configuration of its own in ROOT.
use_prefix() {
    export WINEPREFIX="$1/prefix" HOME="$1/home" XDG_DATA_HOME="$1/xdg/data"
    export XDG_CONFIG_HOME="$1/xdg/config" XDG_CACHE_HOME="$1/xdg/cache"
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
}

# new_prefix ROOT: a new prefix there, its server kept running.
new_prefix() {
    wineserver -k 2>/dev/null || true
    use_prefix "$1"
    rm -rf "$1"
    mkdir -p "$WINEPREFIX" "$HOME" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
    wineserver -p </dev/null >/dev/null 2>&1
    wineboot -i </dev/null >/dev/null 2>&1
}

# copy_prefix FROM TO: TO becomes a byte-for-byte copy of the machine in FROM, its server started
# and its first process (which starts Wine's own services) run, so a timed run pays neither. The
# profile's links into FROM's home are pointed at TO's.
copy_prefix() {
    wineserver -k 2>/dev/null || true
    # The servers of both: one still running for FROM may hold registry changes it has not saved, and
    # one left running for TO would outlive the folder it serves.
    WINEPREFIX="$1/prefix" wineserver -k 2>/dev/null || true
    WINEPREFIX="$2/prefix" wineserver -k 2>/dev/null || true
    rm -rf "$2"
    cp -a "$1" "$2"
    find "$2/prefix/drive_c/users" -maxdepth 2 -type l | while read -r link; do
        target=$(readlink "$link")
        case "$target" in "$1"/*) ln -sfn "$2${target#"$1"}" "$link" ;; esac
    done
    use_prefix "$2"
    wineserver -p </dev/null >/dev/null 2>&1
    wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
}

# seconds COMMAND...: the command's wall time in seconds; its output is dropped.
seconds() {
    local start end
    start=$(date +%s.%N)
    "$@" </dev/null >/dev/null 2>&1
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f", b - a }'
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }

# median NUMBER...: the middle one, or the mean of the two in the middle.
median() {
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.3f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# tick_categories FLAG...: the nine categories of the stored settings, only the given ones ticked,
# stored unscrambled.
tick_categories() {
    local settings='HKCU\Software\VB and VBA Program Settings\Nimbral Windows Cleaner\Settings' flag value
    for flag in detype dehist decook deintt dedocu demedi dewint derecy deruns; do
        value=0
        case " $* " in *" $flag "*) value=1 ;; esac
        wine reg add "$settings" /v $flag /d $value /f >/dev/null 2>&1
    done
    wine reg add "$settings" /v enc /d 0 /f >/dev/null 2>&1
}
