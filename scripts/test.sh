#!/usr/bin/env bash
# Installs what the tests need, builds, and runs every test tier.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

echo "== native build and tests"
cmake --preset native
cmake --build --preset native
ctest --preset native

echo "== sanitize build and tests (clang, AddressSanitizer, UndefinedBehaviorSanitizer)"
cmake --preset sanitize
cmake --build --preset sanitize
ctest --preset sanitize

echo "== fuzzing, about a minute per target"
bash scripts/fuzz.sh

echo "== Windows builds and tests"
bash scripts/test-windows.sh
