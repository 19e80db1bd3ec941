#!/bin/sh
# Fails when a source file includes a header of a layer above its own. The layers, lowest first:
#   text, platform (the seams), then settings / system / registry / history side by side, then the
#   Win32 adapters, plugins, the community rules, engine, browsers, windows, wizard and app. A folder
#   may include its own headers and those of any lower layer; a layer beside it or above it is off limits, so that no change to
#   a higher layer can break a lower one.
# usage: check-layers.sh [SRC_DIR]   (default: src beside this script's folder)
set -eu
src="${1:-$(dirname "$0")/../src}"
cd "$src"
grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]+/' --include='*.h' --include='*.cpp' --include='*.rc' . |
awk '
function layer(path) {
    # The handle owners stand alone: every layer that talks to the system may use them.
    if (path == "platform/win32/UniqueHandles.h") return "platform"
    if (path ~ /^platform\/win32\//) return "win32"
    split(path, part, "/")
    return part[1]
}
BEGIN {
    rank["text"] = 0; rank["platform"] = 1
    rank["settings"] = 2; rank["system"] = 2; rank["registry"] = 2; rank["history"] = 2
    rank["win32"] = 3; rank["plugins"] = 4; rank["rules"] = 5; rank["engine"] = 6; rank["browsers"] = 7
    rank["windows"] = 8; rank["wizard"] = 9; rank["app"] = 10
    bad = 0
}
{
    file = $0; sub(/^\.\//, "", file); sub(/:.*/, "", file)
    target = $0; sub(/^[^"]*"/, "", target); sub(/".*/, "", target)
    from = layer(file); to = layer(target)
    if (!(from in rank) || !(to in rank)) {
        printf "%s: unknown layer in %s\n", file, target; bad = 1; next
    }
    if (from != to && rank[to] >= rank[from]) {
        printf "%s includes %s: %s may not depend on %s\n", file, target, from, to; bad = 1
    }
}
END { exit bad }
'
