#!/usr/bin/env bash
# Sourced by the scripts that run Windows programs: starts a private X
# display (unless one is given) and a private Wine prefix under the build
# tree, and stops both when the calling script ends.
#   source tools/lib/wine-session.sh BUILD_DIR [i686|x86_64]
# The architecture defaults to the build's own. A 32-bit build runs in a
# 32-bit prefix under 32-bit Wine; a 64-bit build in a 64-bit prefix under
# 64-bit Wine, whose loader is called directly, since the `wine` command
# takes the 32-bit loader whenever 32-bit Wine is installed.
# Anything that keeps Wine from starting ends the calling script with one
# line that says what is missing.

session_build=$(mkdir -p "${1:?build directory}" && cd "$1" && pwd)
session_arch=${2:-}
if [ -z "$session_arch" ]; then
  session_arch=$(sed -n 's/^set(CMAKE_SYSTEM_PROCESSOR "\(.*\)")$/\1/p' "$session_build"/CMakeFiles/*/CMakeSystem.cmake \
    2>/dev/null | head -n1 || true)
  session_arch=${session_arch:-i686}
fi
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

# A session started from inside another (a test that masters a disc) must
# not inherit the other's choice of loader.
PATH=$(tr ':' '\n' <<<"$PATH" | grep -v '/wine64-bin$' | paste -sd: -)
unset WINELOADER
export WINEPREFIX="$session_build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
case "$session_arch" in
  i686)
    export WINEARCH=win32
    [ -x /usr/lib/wine/wine ] ||
      splash_fail "32-bit Wine is not installed (/usr/lib/wine/wine); run tools/setup.sh, or take the 64-bit path with SPLASH_32BIT=no"
    ;;
  x86_64)
    export WINEARCH=win64
    [ -x /usr/lib/wine/wine64 ] || splash_fail "64-bit Wine is not installed (/usr/lib/wine/wine64); run tools/setup.sh"
    # `wine`, `wineboot` and `winepath` in this session take the 64-bit loader.
    session_bin="$session_build/wine64-bin"
    mkdir -p "$session_bin"
    printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' >"$session_bin/wine"
    printf '#!/bin/sh\nexec "%s/wine" wineboot.exe "$@"\n' "$session_bin" >"$session_bin/wineboot"
    printf '#!/bin/sh\nexec "%s/wine" winepath.exe "$@"\n' "$session_bin" >"$session_bin/winepath"
    chmod +x "$session_bin/wine" "$session_bin/wineboot" "$session_bin/winepath"
    export PATH="$session_bin:$PATH"
    ;;
  *) splash_fail "unknown architecture '$session_arch' (i686 or x86_64)" ;;
esac
session_xvfb_pid=""

splash_session_stop() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$session_xvfb_pid" ]; then
    kill "$session_xvfb_pid" >/dev/null 2>&1 || true
  fi
}
trap splash_session_stop EXIT

if [ -z "${SPLASH_DISPLAY:-}" ]; then
  command -v Xvfb >/dev/null || splash_fail "Xvfb is not installed; run tools/setup.sh"
  # Each run gets its own display number from Xvfb itself.
  display_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
  session_xvfb_pid=$!
  for _ in $(seq 1 100); do
    [ -s "$display_file" ] && break
    kill -0 "$session_xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  [ -s "$display_file" ] || splash_fail "the virtual X display (Xvfb) did not start; check that Xvfb runs here"
  DISPLAY=":$(head -n1 "$display_file")"
  export DISPLAY
  rm -f "$display_file"
else
  export DISPLAY="$SPLASH_DISPLAY"
fi

# A prefix made by an older set-up of this script is made again: its fonts
# or settings would make the tests measure something else.
session_prefix_version=3
if [ -f "$WINEPREFIX/system.reg" ] && [ "$(cat "$WINEPREFIX/.splash-prefix" 2>/dev/null)" != "$session_prefix_version" ]; then
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
fi

# A prefix made for the other architecture cannot serve this one.
session_prefix_arch=$(sed -n 's/^#arch=//p' "$WINEPREFIX/system.reg" 2>/dev/null | head -n1 || true)
if [ -n "$session_prefix_arch" ] && [ "$session_prefix_arch" != "$WINEARCH" ]; then
  splash_fail "$WINEPREFIX is a $session_prefix_arch prefix, but the $session_arch programs need $WINEARCH; name the architecture that built $session_build, or remove that prefix"
fi

# The prefix's service processes must not inherit the callers' pipes, or
# every reader of a test's output waits for them.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  session_status=0
  wineboot -i >/dev/null 2>&1 </dev/null || session_status=$?
  wineserver -w >/dev/null 2>&1 </dev/null
  if [ "$session_status" -ne 0 ] || [ ! -f "$WINEPREFIX/system.reg" ]; then
    rm -rf "$WINEPREFIX"
    if [ "$session_status" -eq 126 ] && [ "$session_arch" = i686 ]; then
      splash_fail "32-bit Wine cannot start (exit 126): this kernel runs no 32-bit programs; take the 64-bit path with SPLASH_32BIT=no"
    fi
    splash_fail "Wine ($session_arch) could not create its prefix (wineboot exit $session_status); run tools/setup.sh, then try again"
  fi
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
  # Windows draws "MS Sans Serif" 8 with its bitmap font, in a 13-pixel cell
  # that makes the main dialog the size of its face. Wine takes neither its
  # bitmap-only ms_sans_serif.ttf nor sserife.fon for that name, and links no
  # bitmap font to fonts that supply the characters it lacks; Tahoma, which
  # stood in, holds bitmaps from 8 to 16 pixels that Wine draws with but does
  # not measure with, so text measured about 10 % wider than it showed. The
  # prefix gets the 13-pixel size of Wine's sserife.fon as a TrueType font
  # instead: drawn and measured pixel for pixel as the bitmap font. Like the
  # bitmap font on Windows, it is linked to nothing: a Japanese character
  # drawn in it shows as a box, as on a customer's Windows.
  fonts="$WINEPREFIX/drive_c/windows/Fonts"
  mkdir -p "$fonts"
  for font in /usr/share/wine/fonts/*.ttf; do
    [ "${font##*/}" = ms_sans_serif.ttf ] || cp -n "$font" "$fonts"/
  done
  if ! /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/../make_dialog_font.py" /usr/share/wine/fonts/sserife.fon \
    "$fonts/sserife.ttf"; then
    rm -rf "$WINEPREFIX"
    splash_fail "cannot make the dialog font from Wine's sserife.fon; run tools/setup.sh, then try again"
  fi
  # Wine links Tahoma, Microsoft Sans Serif and Lucida Sans Unicode to
  # "MS UI Gothic" in msgothic.ttc for the characters they lack, as a stock
  # Windows does (its FontLink\SystemLink entries): let the IPA font stand
  # in for that font of Windows, under its file name alone, so that the
  # links find it there. The prefix adds no link of its own.
  cp -n /usr/share/fonts/opentype/ipafont-gothic/ipag.ttf "$fonts/msgothic.ttc" 2>/dev/null || true
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "MS UI Gothic" /t REG_SZ /d IPAGothic /f \
    >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1 </dev/null
  echo "$session_prefix_version" >"$WINEPREFIX/.splash-prefix"
fi
wineserver -p >/dev/null 2>&1 </dev/null &
session_status=0
wine wineboot >/dev/null 2>&1 </dev/null || session_status=$?
# Now and then Wine's first start in a new session fails once for no lasting
# reason (exit 1): it is tried once more before the session gives up.
if [ "$session_status" -ne 0 ] && [ "$session_status" -ne 126 ]; then
  echo "wine-session: Wine ($session_arch) did not start (exit $session_status); trying once more" >&2
  sleep 1
  session_status=0
  wine wineboot >/dev/null 2>&1 </dev/null || session_status=$?
fi
if [ "$session_status" -ne 0 ]; then
  [ "$session_status" -eq 126 ] && [ "$session_arch" = i686 ] &&
    splash_fail "32-bit Wine cannot start (exit 126): this kernel runs no 32-bit programs; take the 64-bit path with SPLASH_32BIT=no"
  splash_fail "Wine ($session_arch) cannot start in $WINEPREFIX (exit $session_status); remove that folder and run again"
fi
# Wine closes the desktop a second after the last program that used it has
# gone. The next program then waits about a second while the desktop process
# starts again, the desktop is new under it, and the reader of its output
# waits for that process to end in turn. A program of the test build keeps
# the desktop open for the whole session; where there is none (a release
# build), programs started a second apart pay that second.
if [ -f "$session_build/bin/DesktopKeeper.exe" ]; then
  wine "$session_build/bin/DesktopKeeper.exe" >/dev/null 2>&1 </dev/null &
fi
