#!/usr/bin/env bash
# Runs one Windows program under Wine in the project's own prefix, in the Chinese locale
# (code page 936) of the operators' desktops. Exit code is the program's.
# Usage: wine-run.sh [--win32|--win64] PROGRAM [ARG...] (default: WINEARCH, else win32).
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/scripts/wine-env.sh"
case ${1:-} in --win32 | --win64) shift ;; esac
export LANG=${VANTOR_WINE_LANG:-zh_CN.UTF-8}
export LC_ALL=$LANG
exec "$wine_loader" "$@"
