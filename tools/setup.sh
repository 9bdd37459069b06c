#!/usr/bin/env bash
# Installs what building and testing the menu need on a Debian 12 machine:
# the MinGW-w64 cross compiler, 32-bit Wine, a virtual X display, the
# GoogleTest sources and the fonts the screenshots use. Does nothing when
# everything is there already.
set -euo pipefail

packages=(cmake make g++-mingw-w64-i686 binutils-mingw-w64-i686 wine wine32:i386 xvfb x11-utils
          googletest fonts-wine fonts-ipafont-gothic imagemagick python3 python3-pil locales
          xorriso osslsigncode openssl)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi
"${sudo_cmd[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
