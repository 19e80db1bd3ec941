#!/bin/sh
# usage: at-dpi.sh BUILD_TREE DPI PROGRAM [ARGUMENTS]
# Runs a test program of the build tree with the tree's own Wine prefix set to another display scale
# (dots per inch), and sets the prefix back however the program ends. NIMBRAL_TEST_DPI tells the
# program the scale it was started for. Only the tree's prefix is touched.
set -u
build="$1"
dpi="$2"
shift 2
run="$build/wine-run"
key='HKCU\Control Panel\Desktop'
restore() {
    "$run" reg delete "$key" /v LogPixels /f >/dev/null 2>&1 || true
}
trap 'restore; exit 1' INT TERM
"$run" reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 || exit 1
NIMBRAL_TEST_DPI="$dpi" "$run" "$@"
status=$?
restore
exit $status
