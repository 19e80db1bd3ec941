#!/bin/sh
# Builds the program, lays it out in build/app, prepares the demonstration machine (a Wine prefix
# under $XDG_DATA_HOME/nimbral with a home and trash of its own, seeded once with traces) and runs a
# clean on it, printing the results log. Nothing of the real user's files or trash is touched.
# Extra arguments go to the program (for example /auto alone, to answer the temp-folder prompt Cancel).
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh

cmake --preset windows >/dev/null
cmake --build --preset windows --target nimbral corvelHistoryDeleter seed_demo
cmake --install build/windows --prefix build/app >/dev/null

data="${XDG_DATA_HOME:-$HOME/.local/share}/nimbral"
SEED_DEMO="$PWD/build/windows/tools/seed/seed_demo.exe" tools/demo-prefix.sh "$data"

export WINEPREFIX="$data/prefix" HOME="$data/home" XDG_DATA_HOME="$data/xdg/data"
export XDG_CONFIG_HOME="$data/xdg/config" XDG_CACHE_HOME="$data/xdg/cache"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# Until the main window exists the program is run as it is scheduled: one clean, the log on stdout.
[ $# -gt 0 ] || set -- /auto /yes
exec wine build/app/nimbral.exe "$@"
