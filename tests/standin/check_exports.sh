#!/usr/bin/env bash
# The stand-in exports exactly its entry points, undecorated, and (as a DLL) needs nothing
# but system DLLs.
#   check_exports.sh <objdump> <module> <variant without the extension>
set -euo pipefail
source "$(dirname "$0")/../../scripts/report-failure.sh"
objdump=$1
module=$2
noaux=$3

fail() { echo "FAIL: $*" >&2; exit 1; }

exports() {
  case "$1" in
    *.dll) "$objdump" -p "$1" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^\s*\[ *[0-9]*\] //p' ;;
    *) "$objdump" -T "$1" | awk '$2 == "g" && $4 == ".text" { print $NF }' | grep -E '^(C|E|Bench)_' ;;
  esac | sort | tr '\n' ' '
}

want="Bench_Command Bench_Query Bench_ReadJournal C_GetFunctionList E_GetAuxFunctionList "
[ "$(exports "$module")" = "$want" ] || fail "$module exports: $(exports "$module")"
want_noaux="Bench_Command Bench_Query Bench_ReadJournal C_GetFunctionList "
[ "$(exports "$noaux")" = "$want_noaux" ] || fail "$noaux exports: $(exports "$noaux")"

case "$module" in
  *.dll)
    for dll in "$module" "$noaux"; do
      imports=$("$objdump" -p "$dll" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u | tr '\n' ' ')
      for name in $imports; do
        case "$name" in
          kernel32.dll|msvcrt.dll|user32.dll|advapi32.dll|ntdll.dll|api-ms-win-*) ;;
          *) fail "$dll imports $name (runtime not linked statically?)" ;;
        esac
      done
    done ;;
esac
echo "exports and imports as expected"
