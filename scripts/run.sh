#!/bin/sh
# Builds the program, lays it out in build/app, prepares the demonstration machine (a Wine prefix
# under $XDG_DATA_HOME/nimbral with a home and trash of its own, seeded once with traces) and runs it
# there. Nothing of the real user's files or trash is touched.
#
# With a display, the program opens its windows. Without one, it runs a clean as it is scheduled
# (/auto /yes), printing the results log, then takes pictures of its windows under a virtual display
# (main, help, about, and the results window after a clean), at 96 and at 144 dots per inch, and
# names the folder they are in.
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
mkdir -p "$shots/144"
walk="$PWD/build/windows/tools/walk/walk_windows.exe"
# Without a window manager the windows draw their own frames, for this walk only. The second walk is
# at 150 percent display scaling (144 dots per inch), set in the demonstration machine for it alone.
frames='HKCU\Software\Wine\X11 Driver'
desktop='HKCU\Control Panel\Desktop'
xvfb-run -a -s "-screen 0 1600x1200x24" sh -c "
    wine reg add '$frames' /v Managed /d N /f >/dev/null 2>&1
    wine '$walk' walk \"\$(winepath -w '$PWD/build/app/nimbral.exe')\" \"\$(winepath -w '$shots')\" >'$shots/walk.log' 2>&1
    status=\$?
    wine reg add '$desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
    wine '$walk' walk \"\$(winepath -w '$PWD/build/app/nimbral.exe')\" \"\$(winepath -w '$shots/144')\" >'$shots/144/walk.log' 2>&1 || status=\$?
    wine reg delete '$desktop' /v LogPixels /f >/dev/null 2>&1
    wine reg delete '$frames' /v Managed /f >/dev/null 2>&1
    wineserver -w
    exit \$status
" || echo "The walk through the windows did not go as expected: see $shots/walk.log and $shots/144/walk.log" >&2
for picture in "$shots"/*.bmp "$shots"/144/*.bmp; do
    [ -f "$picture" ] || continue
    convert "$picture" "${picture%.bmp}.png" && rm -f "$picture"
done
echo "Pictures of the windows: $shots (main.png, help.png, about.png, results.png), and at 144 dots per inch in $shots/144"
