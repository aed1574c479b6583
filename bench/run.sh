#!/usr/bin/env bash
# Builds the benchmarks in Release, makes the inputs, and runs both benchmark sets:
# whole programs against cp (run.py) and the inner steps against memcpy (inner_steps).
# usage: bench/run.sh [RUNS]
# Exit status 1 when a target of the program comparison is missed.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-7}

bash scripts/install-deps.sh
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSARIN_BENCHMARKS=ON -DTESSARIN_TESTS=OFF >/dev/null
cmake --build build/bench

inputs=build/bench/inputs
python3 bench/make_inputs.py "$inputs"
status=0
python3 bench/run.py --vbf2bin build/bench/vbf2bin --floor build/bench/bench/steps_floor \
  --literal build/bench/bench/literal_vbf2bin --inputs "$inputs" --runs "$runs" || status=$?
build/bench/bench/inner_steps --inputs="$inputs"
exit "$status"
