#!/usr/bin/env bash
# Builds the Windows programs and tests them: the static checks of the 32-bit build (this
# machine cannot run it), then the 64-bit test programs under wine64, in Xvfb unless a
# display is set. Expects what scripts/install-deps.sh installs.
set -euo pipefail
cd "$(dirname "$0")/.."

echo "== win32 build and static checks"
cmake --preset win32
cmake --build --preset win32
ctest --preset win32

echo "== win64 build and tests under wine64"
cmake --preset win64
cmake --build --preset win64
source scripts/wine-env.sh
wine_start
ctest --preset win64
