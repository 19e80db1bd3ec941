# Sourced by the scripts that drive the program's windows in a Wine prefix of their own.
# fresh_prefix ROOT: points Wine at ROOT/prefix, with a home, trash and configuration in ROOT too,
# makes it afresh with one persistent wineserver, and sets it up for windows without a desktop: Wine
# draws the frames itself (Xvfb has no window manager to wait for) and a crash ends the program
# instead of waiting on a dialog.
#
# wine_fonts PREFIX: puts Marlett from Wine's own data folder (Debian's fonts-wine) into the prefix's
# Windows\Fonts, where Windows keeps it: this Wine reads fonts from there and from fontconfig's
# folders only, and without Marlett the title bars' buttons are drawn as the letters "0 1 r". The
# other fonts stay out, so that text is set as it always was here.
wine_fonts() {
    if [ -f /usr/share/wine/fonts/marlett.ttf ] && [ ! -e "$1/drive_c/windows/Fonts/marlett.ttf" ]; then
        mkdir -p "$1/drive_c/windows/Fonts"
        cp /usr/share/wine/fonts/marlett.ttf "$1/drive_c/windows/Fonts/"
    fi
}

fresh_prefix() {
    export WINEPREFIX="$1/prefix" HOME="$1/home" XDG_DATA_HOME="$1/xdg/data"
    export XDG_CONFIG_HOME="$1/xdg/config" XDG_CACHE_HOME="$1/xdg/cache"
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    wineserver -k 2>/dev/null || true
    rm -rf "$1"
    mkdir -p "$WINEPREFIX" "$HOME" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
    wineserver -p </dev/null >/dev/null 2>&1
    wineboot -i </dev/null >/dev/null 2>&1 || true
    wine_fonts "$WINEPREFIX"
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
}
