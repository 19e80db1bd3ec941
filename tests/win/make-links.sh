#!/bin/sh
# Lays out what Wine cannot make itself, for the tests of deletion and protection: folders holding
# symbolic links (as a profile folder under Wine may) that lead out of the prefix, into the Windows
# folder or back into their own folder; hard links; names that Win32 cannot spell; plugin lists that
# never end; and a share that maps drive C:. Every target outside the prefix stays inside the build
# tree.
set -eu
. "$1/wine-env.sh"
outside="$NIMBRAL_WINE_ROOT/outside"
links="$WINEPREFIX/drive_c/nimbral-links"
rm -rf "$links" "$outside"
mkdir -p "$outside/inner"
echo precious >"$outside/precious.txt"
echo precious >"$outside/inner/deep.txt"
echo precious >"$outside/hard-original.txt"

# One copy of each kind of link for each way of deleting, so every case starts from the same tree.
for use in temp ww1 rules; do
    row="$links/$use"
    mkdir -p "$row-filelink" "$row-rellink" "$row-dirlink" "$row-winlink" "$row-hardlink" "$row-deep/sub/inner"
    ln -s "$outside/precious.txt" "$row-filelink/flink.txt"
    echo plain >"$row-rellink/plain.txt"
    ln -s plain.txt "$row-rellink/rel.txt"
    ln -s "$outside" "$row-dirlink/dlink"
    ln -s "$WINEPREFIX/drive_c/windows" "$row-winlink/wlink"
    ln "$outside/hard-original.txt" "$row-hardlink/hard.txt"
    echo plain >"$row-deep/sub/inner/plain.txt"
    ln -s "$outside/precious.txt" "$row-deep/sub/inner/flink.txt"
done

# Names the system reads differently when it normalises a path, and a tree deeper than 260
# characters, all in a temporary folder of their own.
names="$links/names"
mkdir -p "$names/dot." "$names/blank " "$names/plain"
echo x >"$names/dot./inside.txt"
echo x >"$names/blank /inside.txt"
echo x >"$names/con.txt"
echo x >"$names/aux"
echo x >"$names/ends in dot."
deep="$names/plain"
for level in $(seq 1 40); do
    deep="$deep/level-$level-of-the-tree"
done
mkdir -p "$deep"
echo x >"$deep/bottom.txt"

# Plugin lists that are not regular files: reading them would never end.
mkdir -p "$links/plugins"
ln -s /dev/zero "$links/plugins/Zero.ww1"
mkfifo "$links/plugins/Fifo.ww1"

# \\localhost\cshare is drive C: under another name.
mkdir -p "$WINEPREFIX/dosdevices/unc/localhost"
ln -sfn ../../../drive_c "$WINEPREFIX/dosdevices/unc/localhost/cshare"

# A Chrome whose first profile's cookie file and cache lead out of the prefix, and whose second
# profile is itself a link out: nothing behind them may change.
browser="$outside/browser"
mkdir -p "$browser/cache" "$browser/profile/Cache"
echo cached >"$browser/cache/data_0"
sqlite3 "$browser/Cookies" "CREATE TABLE meta(key LONGVARCHAR NOT NULL UNIQUE PRIMARY KEY, value LONGVARCHAR);
    CREATE TABLE cookies(host_key TEXT NOT NULL, name TEXT NOT NULL, value TEXT NOT NULL);
    INSERT INTO cookies VALUES ('.outside.example', 'SID', 'precious');"
sqlite3 "$browser/profile/History" "CREATE TABLE urls(id INTEGER PRIMARY KEY, url TEXT, typed_count INTEGER DEFAULT 0);
    INSERT INTO urls(url) VALUES ('https://outside.example/');"
data="$links/browsers/Local/Google/Chrome/User Data"
mkdir -p "$data/Default/Network"
echo '{}' >"$data/Default/Preferences"
ln -s "$browser/Cookies" "$data/Default/Network/Cookies"
ln -s "$browser/cache" "$data/Default/Cache"
ln -s "$browser/profile" "$data/Profile 1"
