#!/usr/bin/env bash
# Appends one command line to the stand-in token module's bench file, which the module
# watches while the program runs (commands: standin/BenchControl.h).
#   scripts/bench.sh [--file F] insert 0 type=blank
# Default file: build/windows/bin/orbelcsp11-bench.txt, next to the stand-in DLL.
set -euo pipefail
source "$(dirname "$0")/report-failure.sh"
here=$(cd "$(dirname "$0")/.." && pwd)
file=$here/build/windows/bin/orbelcsp11-bench.txt

usage() {
  echo "usage: $0 [--file F] <command> [arguments...]" >&2
  echo "  e.g. $0 insert 1 type=blank | remove 0 | fail E_InitPkiToken 0xA0 once" >&2
  exit 2
}

if [ "${1:-}" = "--file" ]; then
  [ $# -ge 2 ] || usage
  file=$2
  shift 2
fi
[ $# -ge 1 ] || usage
case "$*" in
  *$'\n'*) echo "bench.sh: one command line at a time" >&2; exit 2 ;;
esac
if [ ! -d "$(dirname "$file")" ]; then
  echo "bench.sh: no folder for $file (build the stand-in module first)" >&2
  exit 1
fi
# One short write with O_APPEND: the module never sees half a line from us.
printf '%s\n' "$*" >> "$file"
