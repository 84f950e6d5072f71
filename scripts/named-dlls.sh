#!/usr/bin/env bash
# Prints every DLL a Windows program names in its import section, one a line: those the loader
# loads before the program starts and those it loads itself on first use (delay-load imports,
# which `objdump -p` does not list: our linker leaves the header's delay-import entry empty).
# Usage: named-dlls.sh OBJCOPY PROGRAM (the objcopy of the program's own toolchain).
set -euo pipefail
source "$(dirname "$0")/report-failure.sh"
objcopy=$1 program=$2
section=$(mktemp)
trap 'rm -f "$section"' EXIT
"$objcopy" -O binary -j .idata "$program" "$section"
# Besides the DLLs' names the section holds only the names of functions, none of them "*.dll".
strings -a "$section" | grep -i '\.dll$' | sort -fu
