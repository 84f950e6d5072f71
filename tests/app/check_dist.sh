#!/usr/bin/env bash
# The distributable archive holds the program, its console twin and the operator's note (in
# Chinese and in English) only, and both programs import nothing but system DLLs (no C++
# runtime, no thread library, no token module).
# Usage: check_dist.sh BUILD_DIR OBJDUMP ARCHIVE (the objdump of the build's own toolchain).
set -euo pipefail
source "$(dirname "$0")/../../scripts/report-failure.sh"
build=$1 objdump=$2 archive=$3
listing=$(cmake -E tar tf "$archive" | grep -v '/$' | sed 's|^[^/]*/||' | sort)
expected=$(printf '%s\n' Vantor.exe vantor-cli.exe 操作说明.txt "Operator's note.txt" | sort)
if [ "$listing" != "$expected" ]; then
  echo "archive holds:"; echo "$listing"; exit 1
fi
system='^(kernel32|user32|gdi32|comctl32|shell32|advapi32|bcrypt|crypt32|msvcrt|ole32|oleaut32|version|comdlg32|shlwapi|uxtheme|ws2_32)\.dll$'
for program in Vantor.exe vantor-cli.exe; do
  imports=$("$objdump" -p "$build/bin/$program" | awk '/DLL Name:/ {print tolower($3)}' | sort -u)
  echo "$program imports: $(echo $imports)"
  bad=$(echo "$imports" | grep -Ev "$system" || true)
  [ -z "$bad" ] || { echo "$program: non-system imports: $bad"; exit 1; }
done
for dll in "$build"/bin/orbelcsp11.dll; do
  "$objdump" -p "$dll" | awk '/DLL Name:/ {print tolower($3)}' | grep -Evq "$system" && { echo "$dll imports non-system DLLs"; exit 1; }
done
echo "the archive holds exactly the programs and the notes; the programs and the module import system DLLs only"
