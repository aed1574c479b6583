#!/usr/bin/env bash
# Shows a conversion, twice: installs what is needed, then converts the bundled sample
# (examples/sample.vbf) through the terminal form of the program in a temporary folder, and
# through the real window of the Windows program under Wine (scripts/demo-windows.sh, which
# keeps pictures of each step in build/demo/). Prints what the program shows and what it
# wrote.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source scripts/show-written.sh

bash scripts/install-deps.sh

echo "== build of the terminal form"
cmake --preset native >/dev/null
cmake --build --preset native --target tessarin

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# Click the button, dismiss "Open file", pick the sample, dismiss the report, close.
script=$(printf '1\n\n%s\n\nq\n' "$root/examples/sample.vbf")
echo
echo "== the program, answered with:"
printf '%s\n' "$script" | sed 's/^/   > /'
echo "== it shows:"
status=0
printf '%s\n' "$script" | "$root/build/native/tessarin" | sed 's/^/   /' || status=$?
echo "== exit status: $status"

echo "== written into the current folder:"
show_written .

echo
bash "$root/scripts/demo-windows.sh"
