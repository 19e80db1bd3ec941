#!/bin/sh
# Builds the program, lays it out in build/app, prepares the demonstration machine (a Wine prefix
# under $XDG_DATA_HOME/nimbral with a home and trash of its own, seeded once with traces) and runs it
# there. Nothing of the real user's files or trash is touched.
#
# With a display, the program opens its windows. Without one, it runs a clean as it is scheduled
# (/auto /yes), printing the results log, then takes pictures of its windows under a virtual display
# (main, help, about, and the results window after a clean) and names the folder they are in.
# Arguments go to the program instead (for example /auto alone, to answer the temp-folder prompt
# Cancel).
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh

cmake --preset windows >/dev/null
cmake --build --preset windows --target nimbral corvelHistoryDeleter seed_demo walk_windows
cmake --install build/windows --prefix build/app >/dev/null

data="${XDG_DATA_HOME:-$HOME/.local/share}/nimbral"
SEED_DEMO="$PWD/build/windows/tools/seed/seed_demo.exe" tools/demo-prefix.sh "$data"

export WINEPREFIX="$data/prefix" HOME="$data/home" XDG_DATA_HOME="$data/xdg/data"
export XDG_CONFIG_HOME="$data/xdg/config" XDG_CACHE_HOME="$data/xdg/cache"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if [ $# -gt 0 ]; then
    exec wine build/app/nimbral.exe "$@"
fi
if [ -n "${DISPLAY:-}" ]; then
    exec wine build/app/nimbral.exe
fi

wine build/app/nimbral.exe /auto /yes
# The pictures need a desktop started with the virtual display, not the one the clean may have left.
wineserver -w

shots="$PWD/build/screenshots"
rm -rf "$shots"
mkdir -p "$shots"
walk="$PWD/build/windows/tools/walk/walk_windows.exe"
# Without a window manager the windows draw their own frames, for this walk only.
frames='HKCU\Software\Wine\X11 Driver'
xvfb-run -a -s "-screen 0 1024x768x24" sh -c "
    wine reg add '$frames' /v Managed /d N /f >/dev/null 2>&1
    wine '$walk' walk \"\$(winepath -w '$PWD/build/app/nimbral.exe')\" \"\$(winepath -w '$shots')\" >'$shots/walk.log' 2>&1
    status=\$?
    wine reg delete '$frames' /v Managed /f >/dev/null 2>&1
    wineserver -w
    exit \$status
" || echo "The walk through the windows did not go as expected: see $shots/walk.log" >&2
for picture in "$shots"/*.bmp; do
    [ -f "$picture" ] || continue
    convert "$picture" "${picture%.bmp}.png" && rm -f "$picture"
done
echo "Pictures of the windows: $shots (main.png, help.png, about.png, results.png)"
