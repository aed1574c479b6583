#!/usr/bin/env bash
# Runs one Windows program under wine64, creating the Wine prefix first if needed. The
# win64 preset's tests run through it (CMAKE_CROSSCOMPILING_EMULATOR).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
wine_prefix_init
exec "$WINE64" "$@"
