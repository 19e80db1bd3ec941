#!/bin/sh
# Lays out folders that hold symbolic links (as a profile folder under Wine may) pointing out of
# the prefix, for the tests of folder removal. Wine cannot make such links itself.
set -eu
. "$1/wine-env.sh"
outside="$NIMBRAL_WINE_ROOT/outside"
links="$WINEPREFIX/drive_c/nimbral-links"
rm -rf "$links" "$outside"
mkdir -p "$outside/inner"
echo precious > "$outside/precious.txt"
echo precious > "$outside/inner/deep.txt"
for folder in tree temp; do
    mkdir -p "$links/$folder/sub"
    echo plain > "$links/$folder/plain.txt"
    echo inner > "$links/$folder/sub/inner.txt"
    ln -s "$outside" "$links/$folder/dirlink"
    ln -s "$outside/precious.txt" "$links/$folder/filelink.txt"
done
