#!/usr/bin/env bash
# Shows a conversion: installs what is needed, builds the terminal form of the program, and
# converts the bundled sample (examples/sample.vbf) through it in a temporary folder, as a
# user clicking through the window would. Prints what the program shows and what it wrote.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/install-deps.sh

echo "== build"
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
for file in *; do
  [ -e "$file" ] || { echo "   (nothing)"; continue; }
  echo "   $file, $(stat -c %s "$file") bytes"
  # The start and the end; runs of equal lines show once, followed by "*".
  dump=$(od -A x -t x1z "$file")
  if [ "$(wc -l <<<"$dump")" -gt 16 ]; then
    { head -n 10 <<<"$dump"; echo "..."; tail -n 5 <<<"$dump"; } | sed 's/^/     /'
  else
    sed 's/^/     /' <<<"$dump"
  fi
done
