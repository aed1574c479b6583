#!/usr/bin/env bash
# Installs everything the build, the tests, the demo and the benchmarks need on a fresh
# Debian 12 machine. Safe to run again: apt skips what is already there.
set -euo pipefail

packages=(
  # native build and unit tests
  cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev
  libboost-dev libcli11-dev
  # fuzzing and sanitizers
  clang libclang-rt-14-dev valgrind
  # Windows builds and their tests under Wine in a virtual display
  mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64 googletest
  wine wine64 fonts-wine xvfb x11-utils imagemagick
  # benchmarks and program tests
  hyperfine time python3 procps
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
