# Sourced by the demo scripts: show_written FOLDER lists the files in FOLDER with their
# sizes, and the start and the end of each as a hex dump (runs of equal lines show once,
# followed by "*").
show_written() {
  local file dump
  for file in "$1"/*; do
    [ -e "$file" ] || { echo "   (nothing)"; continue; }
    echo "   $(basename "$file"), $(stat -c %s "$file") bytes"
    dump=$(od -A x -t x1z "$file")
    if [ "$(wc -l <<<"$dump")" -gt 16 ]; then
      { head -n 10 <<<"$dump"; echo "..."; tail -n 5 <<<"$dump"; } | sed 's/^/     /'
    else
      sed 's/^/     /' <<<"$dump"
    fi
  done
}
