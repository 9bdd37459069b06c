#!/usr/bin/env bash
# Installs what building and testing the menu need on a Debian 12 machine:
# the MinGW-w64 cross compilers, Wine, a virtual X display, the GoogleTest
# sources and the fonts the screenshots use. It first finds out whether this
# machine runs 32-bit programs: where it does, 32-bit Wine tests the 32-bit
# build and 64-bit Wine the 64-bit one; where it does not, only the 64-bit
# build is tested. Installs nothing when everything is there already.
#   tools/setup.sh            SPLASH_32BIT=no tools/setup.sh   (take the path of machines without 32-bit support)
set -euo pipefail
source "$(dirname "$0")/lib/machine.sh"
splash_machine_line

packages=(cmake make g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
          wine wine64 xvfb x11-utils googletest fonts-wine fonts-ipafont-gothic imagemagick python3 python3-pil
          locales xorriso osslsigncode openssl clang-format clang-tidy cppcheck shellcheck)
[ "$SPLASH_32BIT" = yes ] && packages+=(wine32:i386)

# What each architecture's runs need, checked after the install.
commands=(cmake make i686-w64-mingw32-g++-posix i686-w64-mingw32-windres x86_64-w64-mingw32-g++-posix
          x86_64-w64-mingw32-windres /usr/lib/wine/wine64 /usr/lib/wine/wineserver64 wineserver Xvfb xwininfo
          import python3 localedef xorriso osslsigncode openssl clang-format clang-tidy cppcheck shellcheck)
[ "$SPLASH_32BIT" = yes ] && commands+=(/usr/lib/wine/wine)

# apt-get update, then the install. A mirror caught in mid-sync serves some
# index with the wrong size: apt then reads every other index and exits
# non-zero. Setup goes on with what was read; if the install then fails (a
# multi-arch library whose twin is only in the failed index, say), it is
# tried once more with the suites of the failed indexes left out of that one
# install, by a pin in a file of its own: the machine's sources stay as they are.
apt_install() {
  local log pins status=0 failed suites suite
  log=$(mktemp)
  "$@" apt-get update -q 2>&1 | tee "$log" || status=$?
  # "Err:6 http://host/debian-security bookworm-security/main i386 Packages"
  failed=$(sed -n 's/^Err:[0-9]* \([^ ]*\) \([^ ]*\) \(.*\)$/\1 \2 \3/p' "$log" | sort -u | paste -sd';' -)
  if [ "$status" -ne 0 ]; then
    if [ -z "$failed" ] || ! grep -q '^\(Hit\|Get\):' "$log"; then
      rm -f "$log"
      splash_fail "apt-get update failed: check that Debian's package servers can be reached, then run tools/setup.sh again"
    fi
    echo "apt-get update: index failed, going on with the others: $failed"
  fi
  rm -f "$log"
  status=0
  DEBIAN_FRONTEND=noninteractive "$@" apt-get install -y -q --no-install-recommends "${missing[@]}" || status=$?
  [ "$status" -eq 0 ] && return
  [ -n "$failed" ] ||
    splash_fail "installing ${missing[*]} failed (see apt's messages above); run tools/setup.sh again once apt works"
  suites=$(tr ';' '\n' <<<"$failed" | awk '{ sub("/.*", "", $2); print $2 }' | sort -u | paste -sd' ' -)
  echo "apt-get install: failed with an index missing; trying once more without the suites $suites"
  pins=$(mktemp)
  for suite in $suites; do
    printf 'Package: *\nPin: release n=%s\nPin-Priority: -1\n\nPackage: *\nPin: release a=%s\nPin-Priority: -1\n\n' \
      "$suite" "$suite" >>"$pins"
  done
  status=0
  DEBIAN_FRONTEND=noninteractive "$@" apt-get install -y -q --no-install-recommends \
    -o Dir::Etc::Preferences="$pins" "${missing[@]}" || status=$?
  rm -f "$pins"
  [ "$status" -eq 0 ] ||
    splash_fail "installing failed with the index $failed missing and without it (a mirror in mid-sync?); run tools/setup.sh again later"
}

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
  apt_install "${sudo_cmd[@]}"
fi

for command in "${commands[@]}"; do
  command -v "$command" >/dev/null 2>&1 ||
    splash_fail "$command is missing although its package is installed; reinstall it (apt-get install --reinstall) and run tools/setup.sh again"
done
