#!/usr/bin/env bash
# Creates the project's Wine prefix of the edition's width once (about 20 s); later calls
# return at once. Usage: wine-prefix.sh [--win32|--win64] (default: WINEARCH, else win32).
set -eu
source "$(dirname "$0")/report-failure.sh"
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/scripts/wine-env.sh"
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  "$wine_loader" wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  [ -f "$WINEPREFIX/system.reg" ] || { echo "wine-prefix: Wine ($WINEARCH) could not create $WINEPREFIX" >&2; exit 1; }
fi
