#!/usr/bin/env bash
# Installs what is missing, builds the native and both Windows configurations and runs every
# test: natively, natively under AddressSanitizer/UndefinedBehaviorSanitizer and
# ThreadSanitizer, and the Windows edition this machine can run under Wine in Xvfb (the 32-bit
# one where 32-bit programs execute, else the 64-bit one; VANTOR_WIN64=1 takes the 64-bit one
# anywhere), plus the other edition's installer where the machine can run it.
set -euo pipefail
source "$(dirname "$0")/report-failure.sh"
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc)

bash scripts/setup.sh

step() { printf '\n=== %s\n' "$*"; }

source scripts/edition.sh
step "Windows tests on this machine: $edition_reason"

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

# Both editions are always built: each is shipped, and each checks its record layouts at
# compile time. The edition under test is built whole, the other one as shipped.
other=$([ "$edition" = windows ] && echo windows64 || echo windows)
step "configure and build: $edition (tested here)"
cmake --preset "$edition" >/dev/null
cmake --build --preset "$edition" -j "$jobs"
step "configure and build: $other (programs and installer)"
cmake --preset "$other" >/dev/null
cmake --build --preset "$other" -j "$jobs" --target installer orbelcsp11

# The other edition's installer runs where this machine can run it: the 64-bit one always
# (wine64 needs no 32-bit execution), the 32-bit one only where 32-bit programs execute.
other_installer=0
if [ "$other" = windows64 ] || [ "$runs_32bit" = 1 ]; then
  other_installer=1
fi

step "test: $edition (Wine in Xvfb, WINEARCH=$WINEARCH)"
export WINEDEBUG=-all
unset WINEPREFIX
source scripts/wine-env.sh
export edition other other_installer
# The wineserver lives and dies inside the X server it serves.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  set -u
  bash scripts/wine-prefix.sh
  wineserver -p
  # Wine starts its background services with the first program; start them here, away from
  # the pipes ctest reads, or ctest waits for those services to close them.
  bash scripts/wine-run.sh cmd /c ver >/dev/null 2>&1 </dev/null
  ctest --preset "$edition" -j 1
  rc=$?
  wineserver -k; wineserver -w
  if [ "$other_installer" = 1 ]; then
    printf "\n=== test: the %s installer\n" "$other"
    ctest --preset "$other" -j 1 -R "^installer_silent\$" || rc=1
  else
    printf "\n=== test: the %s installer is not run: this machine cannot execute 32-bit programs\n" "$other"
  fi
  exit $rc'
