#!/usr/bin/env bash
# Builds the menu with its tests and runs every test under Wine in a private
# X display and Wine prefix.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/tools/setup.sh"
/usr/bin/python3 tools/check_artwork.py
/usr/bin/python3 tools/check_strings.py
cmake --preset tests >/dev/null
cmake --build --preset tests

source "$root/tools/wine-session.sh" "$root/build/tests"
ctest --preset tests "$@"
