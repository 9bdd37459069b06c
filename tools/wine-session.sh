#!/usr/bin/env bash
# Sourced by the scripts that run Windows programs: starts a private X
# display (unless one is given) and a private 32-bit Wine prefix under the
# build tree, and stops both when the calling script ends.
#   source tools/wine-session.sh BUILD_DIR

session_build=$(mkdir -p "${1:?build directory}" && cd "$1" && pwd)
export WINEARCH=win32
export WINEPREFIX="$session_build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
session_xvfb_pid=""

session_stop() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$session_xvfb_pid" ]; then
    kill "$session_xvfb_pid" >/dev/null 2>&1 || true
  fi
}
trap session_stop EXIT

if [ -z "${SPLASH_DISPLAY:-}" ]; then
  # Each run gets its own display number from Xvfb itself.
  display_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
  session_xvfb_pid=$!
  for _ in $(seq 1 100); do
    [ -s "$display_file" ] && break
    sleep 0.1
  done
  export DISPLAY=":$(head -n1 "$display_file")"
  rm -f "$display_file"
else
  export DISPLAY="$SPLASH_DISPLAY"
fi

# The prefix's service processes must not inherit the callers' pipes, or
# every reader of a test's output waits for them.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 </dev/null
  wineserver -w >/dev/null 2>&1 </dev/null
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
  # Windows draws "MS Sans Serif" 8 with a 13-pixel cell, which makes the
  # main dialog the size of its face; Tahoma has the same metrics.
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v "MS Sans Serif" \
    /t REG_SZ /d Tahoma /f >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1 </dev/null
  fonts="$WINEPREFIX/drive_c/windows/Fonts"
  mkdir -p "$fonts"
  cp -n /usr/share/wine/fonts/*.ttf "$fonts"/ 2>/dev/null || true
  cp -n /usr/share/fonts/opentype/ipafont-gothic/*.ttf "$fonts"/ 2>/dev/null || true
  cp -n /usr/share/fonts/truetype/fonts-japanese-gothic.ttf "$fonts"/ 2>/dev/null || true
  # Wine links its interface fonts to "MS UI Gothic" in msgothic.ttc for the
  # characters they lack, as Windows does: let the IPA font stand in for it.
  cp -n /usr/share/fonts/opentype/ipafont-gothic/ipag.ttf "$fonts/msgothic.ttc" 2>/dev/null || true
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "MS UI Gothic" /t REG_SZ /d IPAGothic /f \
    >/dev/null 2>&1
fi
wineserver -p >/dev/null 2>&1 </dev/null &
wine wineboot >/dev/null 2>&1 </dev/null || true
