#!/usr/bin/env bash
# Shows a conversion in the real window: builds the 64-bit Windows program, starts it under
# Wine (in Xvfb, or on your display when DISPLAY is set), converts the bundled sample
# (examples/sample.vbf) through its window as a person would, and keeps a picture of each
# step in build/demo/. Expects what scripts/install-deps.sh installs.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source scripts/show-written.sh

echo "== build of the Windows program (win64)"
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target tessarin window_demo

demo="$root/build/demo"
rm -rf "$demo"
mkdir -p "$demo/converted"

source scripts/wine-env.sh
if [ -n "${DISPLAY:-}" ]; then where="your display $DISPLAY"; else where="a virtual display (Xvfb)"; fi
echo "== starting Wine in $where"
wine_start

echo "== the window, used as a person would:"
"$WINE64" build/win64/tests/windows/window_demo.exe build/win64/tessarin.exe \
  "$root/examples/sample.vbf" "$demo/converted" "$demo" \
  2> >(grep -v 'FS volume label and serial are not available' >&2) | tr -d '\r'

echo "== pictures of each step:"
for picture in "$demo"/*.bmp; do
  convert "$picture" "${picture%.bmp}.png" && rm "$picture"
  echo "   ${picture%.bmp}.png"
done

echo "== written by the program (into build/demo/converted):"
show_written "$demo/converted"
