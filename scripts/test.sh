#!/bin/sh
# Builds both trees and runs every test: the portable logic natively, then the program's tests under
# Wine in a fresh prefix of the build tree (with a virtual display when there is none).
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh

cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

cmake --preset windows >/dev/null
cmake --build --preset windows
if [ -n "${DISPLAY:-}" ]; then
    ctest --preset windows
else
    xvfb-run -a ctest --preset windows
fi
