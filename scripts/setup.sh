#!/usr/bin/env bash
# Installs every system package the build and the tests need on Debian 12 (run as root).
# Does nothing when everything is already there.
set -euo pipefail
source "$(dirname "$0")/report-failure.sh"

packages=(
  cmake ninja-build g++ clang clang-format libclang-rt-14-dev make pkg-config
  libp11-kit-dev googletest
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine wine32:i386 wine64 xvfb xauth x11-utils fonts-wqy-microhei imagemagick
  softhsm2 opensc locales nsis python3
  libssl-dev openssl chromium
)

need_i386=0
dpkg --print-foreign-architectures | grep -qx i386 || need_i386=1

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ "$need_i386" = 1 ] || [ "${#missing[@]}" -gt 0 ]; then
  [ "$(id -u)" = 0 ] || { echo "setup: run as root to install: ${missing[*]}" >&2; exit 1; }
  [ "$need_i386" = 1 ] && dpkg --add-architecture i386
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Operators' desktops run code page 936; the Wine tests run in that locale, and the English
# ones in en_US.UTF-8 (without it Wine would not even see a Chinese file name).
missing_locales=()
for locale in zh_CN en_US; do
  locale -a 2>/dev/null | grep -qi "^$locale\.utf8\$" || missing_locales+=("$locale")
done
if [ "${#missing_locales[@]}" -gt 0 ]; then
  [ "$(id -u)" = 0 ] || { echo "setup: run as root to generate ${missing_locales[*]} (UTF-8)" >&2; exit 1; }
  for locale in "${missing_locales[@]}"; do
    sed -i "s/^# *$locale.UTF-8 UTF-8/$locale.UTF-8 UTF-8/" /etc/locale.gen
    grep -q "^$locale.UTF-8 UTF-8" /etc/locale.gen || echo "$locale.UTF-8 UTF-8" >> /etc/locale.gen
  done
  locale-gen >/dev/null
fi
