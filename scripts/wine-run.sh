#!/usr/bin/env bash
# Runs one Windows program under Wine in the project's own 32-bit prefix, in the
# Chinese locale (code page 936) of the operators' desktops. Exit code is the program's.
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/build/wine-prefix}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export LANG=${VANTOR_WINE_LANG:-zh_CN.UTF-8}
export LC_ALL=$LANG
exec wine "$@"
