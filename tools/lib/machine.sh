#!/usr/bin/env bash
# Sourced by the project's scripts: finds out whether this machine runs
# 32-bit programs, and so which builds its Wine can run.
#   source tools/lib/machine.sh
# Sets:
#   SPLASH_32BIT        yes or no (set it beforehand to override the probe)
#   SPLASH_32BIT_HOW    how that was found, for the one line the scripts print
#   SPLASH_ARCHS        the test builds this machine runs: "i686 x86_64" or "x86_64"
#   SPLASH_RUN_ARCH     the build that run.sh and bench.sh show and measure
# The shipped Splash.exe is the 32-bit build on every machine; where 32-bit
# programs cannot run, the same sources are tested as a 64-bit build.

# A complete 32-bit Linux program of 96 bytes that ends with status 42: if
# the kernel runs it, it runs 32-bit Wine too. Names, libraries or the CPU's
# flags say nothing of whether the kernel was built with 32-bit support.
splash_probe_32bit() {
  local folder file output status
  for folder in "${SPLASH_ROOT:-.}/build" "${TMPDIR:-/tmp}"; do
    mkdir -p "$folder" 2>/dev/null || continue
    file=$(mktemp "$folder/probe32.XXXXXX" 2>/dev/null) || continue
    printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$file"
    chmod 700 "$file"
    status=0
    output=$("$file" 2>&1) || status=$?
    rm -f "$file"
    if [ "$status" -eq 42 ]; then
      SPLASH_32BIT=yes
      SPLASH_32BIT_HOW="a 32-bit test program ran"
      return
    fi
    case "$output" in
      *"Exec format error"*)
        SPLASH_32BIT=no
        SPLASH_32BIT_HOW="a 32-bit test program could not start: Exec format error"
        return
        ;;
    esac
    # Anything else (a folder mounted without exec rights, say): try the next folder.
  done
  SPLASH_32BIT=no
  SPLASH_32BIT_HOW="no 32-bit test program could be started (${output:-status $status})"
}

source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
SPLASH_ROOT=${SPLASH_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
case "${SPLASH_32BIT:-}" in
  yes | no) SPLASH_32BIT_HOW="set by SPLASH_32BIT" ;;
  "") splash_probe_32bit ;;
  *)
    splash_fail "SPLASH_32BIT must be yes or no, not '$SPLASH_32BIT'"
    ;;
esac
if [ "$SPLASH_32BIT" = yes ]; then
  SPLASH_ARCHS="i686 x86_64"
  SPLASH_RUN_ARCH=i686
else
  SPLASH_ARCHS="x86_64"
  SPLASH_RUN_ARCH=x86_64
fi
export SPLASH_32BIT SPLASH_32BIT_HOW SPLASH_ARCHS SPLASH_RUN_ARCH

# One line that says what this machine is and what the scripts do on it.
splash_machine_line() {
  if [ "$SPLASH_32BIT" = yes ]; then
    echo "machine: runs 32-bit programs ($SPLASH_32BIT_HOW): the 32-bit build under 32-bit Wine, and the 64-bit test build under 64-bit Wine"
  else
    echo "machine: runs no 32-bit programs ($SPLASH_32BIT_HOW): the 64-bit build of the same sources under 64-bit Wine; the shipped 32-bit Splash.exe is checked from its file"
  fi
}

# The presets and build folders of each architecture.
splash_tests_preset() { [ "$1" = i686 ] && echo tests || echo tests-x64; }
splash_release_preset() { [ "$1" = i686 ] && echo release || echo release-x64; }


# Configures the build folder of a preset (cmake --preset PRESET [ARGS...]).
# A folder keeps the compilers it was first configured with, so one that the
# other thread flavour made (the release builds took posix before) is made
# afresh instead of failing.
splash_configure() {
  local output status=0
  output=$(cmake --preset "$@" 2>&1) || status=$?
  if [ "$status" -ne 0 ] && grep -q 'Stale compilers:' <<<"$output"; then
    echo "$(basename "$0"): build folder of preset $1 made by the other compilers: configuring it afresh"
    cmake --preset "$@" --fresh >/dev/null
    return
  fi
  [ "$status" -eq 0 ] || printf '%s\n' "$output" >&2
  return "$status"
}
