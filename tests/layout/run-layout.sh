#!/usr/bin/env bash
# The layout test at 100, 125 and 150 %: Wine takes a program's scale from the prefix's
# LogPixels (HKCU\Control Panel\Desktop) when the program starts, so the prefix is set to 96,
# 120 and 144 dpi in turn and the test program runs once at each: for the Chinese window on a
# Chinese desktop, the English window on an English one and on a Chinese one (an operator's
# choice), whose font differs. The prefix is put back to 96 dpi
# however the runs end (and by the ctest entry layout_scale_reset after a timeout). The
# pictures become PNG files in artifacts/layout at the top of the working copy, or in
# VANTOR_LAYOUT_ARTIFACTS.
# Usage: run-layout.sh PROGRAM EMULATOR [ARG...]   or   run-layout.sh --reset EMULATOR [ARG...]
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

set_dpi() {
  "${emulator[@]}" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}

if [ "${1:-}" = --reset ]; then
  shift
  emulator=("$@")
  set_dpi 96 || { echo "layout: the prefix could not be set back to 96 dpi" >&2; exit 1; }
  exit 0
fi

program=$1
shift
emulator=("$@")
trap 'set_dpi 96' EXIT

folder=${VANTOR_LAYOUT_ARTIFACTS:-$root/artifacts/layout}
mkdir -p "$folder" || exit 1
folder=$(cd "$folder" && pwd)
rm -f "$folder"/*-{100,125,150}.{bmp,png}
# Wine's drive Z: is the Unix root.
windows_folder="Z:${folder//\//\\}"

rc=0
for dpi in 96 120 144; do
  if ! set_dpi "$dpi"; then
    echo "layout: the prefix could not be set to $dpi dpi" >&2
    rc=1
    continue
  fi
  for run in zh:zh_CN.UTF-8 en:en_US.UTF-8 en:zh_CN.UTF-8; do
    printf '\n=== layout at %s dpi, language %s, desktop %s\n' "$dpi" "${run%%:*}" "${run#*:}"
    VANTOR_LANG=${run%%:*} VANTOR_WINE_LANG=${run#*:} VANTOR_LAYOUT_DPI=$dpi VANTOR_LAYOUT_DIR=$windows_folder \
      "${emulator[@]}" "$program" --gtest_brief=1 || rc=1
  done
done

# PNG files for a person to look at; ImageMagick comes with scripts/setup.sh.
if ! command -v convert >/dev/null; then
  echo "layout: ImageMagick's convert is missing (scripts/setup.sh installs it)" >&2
  exit 1
fi
for picture in "$folder"/*.bmp; do
  [ -e "$picture" ] || continue
  if convert "$picture" "${picture%.bmp}.png"; then rm -f "$picture"; else rc=1; fi
done
echo "layout: pictures in $folder"
exit $rc
