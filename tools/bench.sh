#!/usr/bin/env bash
# Builds the menu, its bare floor program, their timed builds, the fixture
# programs and the benchmark program, and prints the benchmark's tables under
# Wine in a private X display and Wine prefix. No test is run.
#   tools/bench.sh                    every section
#   tools/bench.sh startup refresh    the named sections (startup, refresh, size, region)
# It measures the 32-bit build where this machine runs 32-bit programs, else
# the 64-bit build of the same sources, and says which.
# SPLASH_BENCH_BUILD names the build directory (default: the tests preset's).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/tools/setup.sh"
source "$root/tools/lib/machine.sh"
preset=$(splash_tests_preset "$SPLASH_RUN_ARCH")
build=${SPLASH_BENCH_BUILD:-$root/build/$preset}
echo "bench.sh: measuring the $SPLASH_RUN_ARCH build ($preset) under $([ "$SPLASH_RUN_ARCH" = i686 ] && echo 32 || echo 64)-bit Wine"
cmake --preset "$preset" -B "$build" >/dev/null
cmake --build "$build" -j2 --target Splash BareMenu splash_bench FixtureProgram FixtureWindowless FixtureVersionUnicode \
  SplashTimed BareMenuTimed BareMenuCleanup BareMenuCleanupTimed

source "$root/tools/lib/wine-session.sh" "$build" "$SPLASH_RUN_ARCH"
"$root/tools/wine-exec.sh" "$build/bin/splash_bench.exe" "$@"
