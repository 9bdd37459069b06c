#!/usr/bin/env bash
# Builds the menu, its bare floor program, their timed builds, the fixture
# programs and the benchmark program, and prints the benchmark's tables under
# Wine in a private X display and Wine prefix. No test is run.
#   tools/bench.sh                    every section
#   tools/bench.sh startup refresh    the named sections (startup, refresh, size, region)
# SPLASH_BENCH_BUILD names the build directory (default build/tests, the tests preset's).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/tools/setup.sh"
build=${SPLASH_BENCH_BUILD:-$root/build/tests}
cmake --preset tests -B "$build" >/dev/null
cmake --build "$build" -j2 --target Splash BareMenu splash_bench FixtureProgram FixtureVersionUnicode \
  SplashTimed BareMenuTimed

source "$root/tools/wine-session.sh" "$build"
"$root/tools/wine-exec.sh" "$build/bin/splash_bench.exe" "$@"
