#!/usr/bin/env bash
# Runs every fuzz target of the sanitize build for SECONDS each (default 60), each on a
# fresh copy of its seed corpus, and fails when any of them finds a crash, a sanitizer
# report, a broken invariant or a hang. `scripts/fuzz.sh 600` is the longer run.
# Expects `cmake --build --preset sanitize` to have run.
set -uo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
build=build/sanitize
work=$build/fuzz-runs
# The whole-chain target writes files for every input: keep them in memory where possible.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm
fi

targets=()
for program in "$build"/fuzz_*; do
  [ -f "$program" ] && [ -x "$program" ] && targets+=("${program##*/fuzz_}")
done
if [ ${#targets[@]} -eq 0 ]; then
  echo "no fuzz targets in $build: build the sanitize preset first" >&2
  exit 1
fi

failed=()
for target in "${targets[@]}"; do
  corpus=$work/$target/corpus
  rm -rf "$work/$target"
  mkdir -p "$corpus"
  if [ -d "fuzz/corpus/$target" ]; then
    cp fuzz/corpus/"$target"/* "$corpus"/
  fi
  options=(-max_total_time="$seconds" -timeout=10 -print_final_stats=1
           -artifact_prefix="$work/$target/")
  if [ -f "$build/fuzz_$target.dict" ]; then
    options+=(-dict="$build/fuzz_$target.dict")
  fi

  echo "== fuzz_$target for ${seconds}s"
  if "$build/fuzz_$target" "${options[@]}" "$corpus" > "$work/$target/log" 2>&1; then
    grep -E '^(Done|stat::number_of_executed_units)' "$work/$target/log"
  else
    echo "fuzz_$target FAILED; the input that broke it is kept in $work/$target/:"
    tail -n 40 "$work/$target/log"
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzzing found faults in: ${failed[*]}" >&2
  exit 1
fi
echo "fuzzing: ${#targets[@]} targets, no fault found"
