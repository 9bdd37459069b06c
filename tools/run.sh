#!/usr/bin/env bash
# Builds the menu and runs it under Wine from a sample disc whose programs
# are stubs, as a user would start it from the disc's root.
#   tools/run.sh
# With $DISPLAY set the menu shows there until it is closed. Without one it
# runs in a private virtual display: the script waits for the window, saves
# a screenshot to build/screenshots/menu.png and closes the menu.
# Either way it lists afterwards what the menu started from the disc.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/tools/setup.sh"
source "$root/tools/lib/machine.sh"
splash_configure release
cmake --build --preset release
# The menu shown is the 32-bit program where this machine runs 32-bit
# programs, else the 64-bit build of the same sources.
preset=$(splash_release_preset "$SPLASH_RUN_ARCH")
if [ "$preset" != release ]; then
  splash_configure "$preset"
  cmake --build --preset "$preset"
fi
echo "run.sh: showing the $SPLASH_RUN_ARCH build ($preset) under $([ "$SPLASH_RUN_ARCH" = i686 ] && echo 32 || echo 64)-bit Wine"

build="$root/build/$preset"
for program in Splash.exe StubProgram.exe; do
  if [ ! -f "$build/bin/$program" ]; then
    splash_fail "$build/bin/$program was not built"
  fi
done
disc="$root/build/sample-disc"
/usr/bin/python3 tools/make_sample_disc.py "$disc" "$build/bin/StubProgram.exe" "$build/bin/Splash.exe"

interactive=""
if [ -n "${DISPLAY:-}" ]; then
  interactive=yes
  export SPLASH_DISPLAY="$DISPLAY"
fi
source "$root/tools/lib/wine-session.sh" "$build" "$SPLASH_RUN_ARCH"

# On a desktop the window manager may manage the menu like any window; in
# the virtual display there is none to wait for.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d "$([ -n "$interactive" ] && echo Y || echo N)" \
  /f >/dev/null 2>&1

log="$root/build/sample-disc-log.txt"
rm -f "$log"
SPLASH_STUB_LOG=$(winepath -w "$log" 2>/dev/null | tr -d '\r')
export SPLASH_STUB_LOG

# Started in the disc's root, as the disc's autorun or a double click would.
(cd "$disc" && exec wine Splash.exe </dev/null >/dev/null 2>&1) &
menu_pid=$!

if [ -n "$interactive" ]; then
  echo "The menu is open on $DISPLAY; close it to end."
  wait "$menu_pid" || true
else
  geometry=""
  for _ in $(seq 1 300); do
    geometry=$(xwininfo -name "Tavrin Vexa" 2>/dev/null | sed -n 's/^ *-geometry \([0-9x+-]*\).*/\1/p' || true)
    [ -n "$geometry" ] && break
    if ! kill -0 "$menu_pid" 2>/dev/null; then
      splash_fail "the menu ended before its window appeared"
    fi
    sleep 0.1
  done
  if [ -z "$geometry" ]; then
    kill "$menu_pid" 2>/dev/null || true
    splash_fail "no menu window after 30 s"
  fi
  # The window is mapped before its first paint is done.
  sleep 1
  mkdir -p "$root/build/screenshots"
  shot="$root/build/screenshots/menu.png"
  import -display "$DISPLAY" -window root -crop "$geometry" +repage "$shot"
  echo "Screenshot of the menu ($geometry): $shot"
  # Asks the menu to close as its close command would; ends it only if not.
  wine taskkill /im Splash.exe >/dev/null 2>&1 || true
  for _ in $(seq 1 100); do
    kill -0 "$menu_pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$menu_pid" 2>/dev/null; then
    echo "run.sh: the menu did not close; ending it" >&2
    kill "$menu_pid" 2>/dev/null || true
  fi
  wait "$menu_pid" 2>/dev/null || true
fi

if [ -s "$log" ]; then
  echo "Started from the disc (program, command line, working folder):"
  tr -d '\r' <"$log" | sed 's/^/  /'
fi
