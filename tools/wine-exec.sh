#!/usr/bin/env bash
# Runs one Windows program under the project's private Wine prefix; CTest
# uses it as the emulator for the cross-built programs.
set -euo pipefail
: "${WINEPREFIX:?run inside tools/lib/wine-session.sh (WINEPREFIX is not set)}"
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Wine writes CRLF line ends: give the readers plain lines.
set -o pipefail
wine "$@" | tr -d '\r'
