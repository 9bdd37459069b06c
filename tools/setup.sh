#!/usr/bin/env bash
# Installs what building and testing the menu need on a Debian 12 machine:
# the MinGW-w64 cross compilers, Wine, a virtual X display, the GoogleTest
# sources and the fonts the screenshots use. It first finds out whether this
# machine runs 32-bit programs: where it does, 32-bit Wine tests the 32-bit
# build and 64-bit Wine the 64-bit one; where it does not, only the 64-bit
# build is tested. Installs nothing when everything is there already.
#   tools/setup.sh            SPLASH_32BIT=no tools/setup.sh   (take the path of machines without 32-bit support)
set -euo pipefail
source "$(dirname "$0")/machine.sh"
splash_machine_line

packages=(cmake make g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
          wine wine64 xvfb x11-utils googletest fonts-wine fonts-ipafont-gothic imagemagick python3 python3-pil
          locales xorriso osslsigncode openssl)
[ "$SPLASH_32BIT" = yes ] && packages+=(wine32:i386)

# What each architecture's runs need, checked after the install.
commands=(cmake make i686-w64-mingw32-g++-posix i686-w64-mingw32-windres x86_64-w64-mingw32-g++-posix
          x86_64-w64-mingw32-windres /usr/lib/wine/wine64 /usr/lib/wine/wineserver64 wineserver Xvfb xwininfo
          import python3 localedef xorriso osslsigncode openssl)
[ "$SPLASH_32BIT" = yes ] && commands+=(/usr/lib/wine/wine)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  if [ "$SPLASH_32BIT" = yes ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386 ||
      splash_fail "cannot add the i386 architecture to dpkg (needed for 32-bit Wine); run as root or with sudo"
  fi
  "${sudo_cmd[@]}" apt-get update -q ||
    splash_fail "apt-get update failed: check that Debian's package servers can be reached, then run tools/setup.sh again"
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" ||
    splash_fail "installing ${missing[*]} failed (see apt's messages above); run tools/setup.sh again once apt works"
fi

for command in "${commands[@]}"; do
  command -v "$command" >/dev/null 2>&1 ||
    splash_fail "$command is missing although its package is installed; reinstall it (apt-get install --reinstall) and run tools/setup.sh again"
done
