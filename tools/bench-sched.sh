#!/usr/bin/env bash
# Runs the benchmark under the kernel's scheduler trace and reports, for every
# run of the clean-up program, how long it lived and whether it and the Wine
# server shared a processor (tools/sched_report.py tells why that matters).
#   tools/bench-sched.sh              the startup section
#   tools/bench-sched.sh SECTIONS...  the named sections, as tools/bench.sh takes them
# Needs `perf` (Debian's linux-perf, installed here when missing) and a kernel
# that lets it record scheduler events; says so and stops where it cannot.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
source "$root/tools/lib/common.sh"

if ! command -v perf >/dev/null 2>&1; then
  echo "Installing: linux-perf"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  if ! "${sudo_cmd[@]}" apt-get update -q >/dev/null ||
    ! DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends linux-perf >/dev/null; then
    splash_fail "cannot install linux-perf; run tools/bench.sh for the figures without the trace"
  fi
fi
data="$root/build/bench-sched.data"
mkdir -p "$root/build"
if ! perf sched record -o "$data" -- true >/dev/null 2>&1; then
  splash_fail "this kernel does not let perf record scheduler events here; run tools/bench.sh instead"
fi
[ $# -gt 0 ] || set -- startup
perf sched record -a -o "$data" -- "$root/tools/bench.sh" "$@" 2> >(grep -v '^\[ perf record' >&2)
echo
perf sched timehist -i "$data" 2>/dev/null | python3 "$root/tools/sched_report.py"
# The trace of a startup section takes some 600 MB.
rm -f "$data" "$data.old"
