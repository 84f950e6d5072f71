#!/usr/bin/env bash
# Installs what is missing, builds the native and the Windows configurations and runs every
# test: natively, natively under AddressSanitizer/UndefinedBehaviorSanitizer and
# ThreadSanitizer, and the Windows binaries under Wine in Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc)

bash scripts/setup.sh

step() { printf '\n=== %s\n' "$*"; }

step "format: every C and C++ file as .clang-format has it"
bash scripts/check-format.sh

step "layers: every include as scripts/layers.txt allows"
bash scripts/check-layers.sh

run_preset() {
  step "configure, build and test: $1"
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1" -j "$jobs"
  ctest --preset "$1" -j "$jobs"
}

run_preset native
run_preset native-asan
run_preset native-tsan

step "fuzz: a short bounded run of each target"
bash scripts/fuzz.sh 15

step "configure and build: windows"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"

step "test: windows (Wine in Xvfb)"
export WINEPREFIX=$root/build/wine-prefix WINEARCH=win32 WINEDEBUG=-all
# The wineserver lives and dies inside the X server it serves.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  set -u
  bash scripts/wine-prefix.sh
  wineserver -p
  # Wine starts its background services with the first program; start them here, away from
  # the pipes ctest reads, or ctest waits for those services to close them.
  bash scripts/wine-run.sh cmd /c ver >/dev/null 2>&1 </dev/null
  ctest --preset windows -j 1
  rc=$?
  wineserver -k; wineserver -w
  exit $rc'
