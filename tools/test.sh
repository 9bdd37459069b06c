#!/usr/bin/env bash
# Builds the menu with its tests and runs every test under Wine in a private
# X display and Wine prefix, once for each architecture this machine runs:
# the 32-bit build under 32-bit Wine and the 64-bit build under 64-bit Wine
# where 32-bit programs run, the 64-bit build alone where they do not.
#   tools/test.sh [--arch i686|x86_64] [ctest options...]
# --arch (or SPLASH_TEST_ARCH) runs one architecture only. The shipped
# 32-bit Splash.exe is built first on every machine: the checks of the
# program's file read it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

only=${SPLASH_TEST_ARCH:-}
if [ "${1:-}" = --arch ]; then
  only=${2:?--arch takes i686 or x86_64}
  shift 2
fi

"$root/tools/setup.sh"
source "$root/tools/lib/machine.sh"
archs=$SPLASH_ARCHS
if [ -n "$only" ]; then
  case " $SPLASH_ARCHS " in
    *" $only "*) archs=$only ;;
    *) splash_fail "this machine cannot run the $only build (it runs: $SPLASH_ARCHS)" ;;
  esac
fi
echo "test.sh: architectures to test: $archs"

# Format and static checks first: they take under a minute and need no Wine.
# A finding fails the run, after the tests have run all the same.
lint_status=0
"$root/tools/lint.sh" || lint_status=$?
/usr/bin/python3 tools/check_artwork.py
/usr/bin/python3 tools/check_strings.py
splash_configure release
cmake --build --preset release

summary=()
total_passed=0 total_failed=0 total_skipped=0 status=0
for arch in $archs; do
  preset=$(splash_tests_preset "$arch")
  echo "== $arch: building and testing ($preset)"
  splash_configure "$preset"
  cmake --build --preset "$preset"
  log="$root/build/ctest-$arch.log"
  arch_status=0
  # Each architecture in its own session: its own display, prefix and server.
  # A test that fails is run once more in the same session (ctest's own
  # repeat): under Wine a program now and then fails to start, or loses an
  # input event, for reasons of Wine's own. A test that passes only the
  # second time is named in the summary; one that fails twice fails the run.
  (
    source "$root/tools/lib/wine-session.sh" "$root/build/$preset" "$arch"
    tested=0
    ctest --preset "$preset" --repeat until-pass:2 "$@" || tested=$?
    # A test that passed although a click of it was lost on the way says so
    # in a line of its own; ctest keeps what passing tests print in its log.
    grep -h '^The first Exit click left the menu up' "$root/build/$preset/Testing/Temporary/LastTest.log" 2>/dev/null |
      sed "s/^/== $arch: /" || true
    exit "$tested"
  ) 2>&1 | tee "$log" || arch_status=$?
  [ "$arch_status" -ne 0 ] && status=1
  # ctest's closing lines: "N% tests passed, F tests failed out of T", the
  # list of the tests that did not run, and, for each test run a second
  # time, its second result on a line without a count ("    Test #12: ...").
  results=$(sed -n 's/^[0-9]*% tests passed, \([0-9]*\) tests\{0,1\} failed out of \([0-9]*\)$/\1 \2/p' "$log")
  if [ -z "$results" ]; then
    summary+=("$arch: no test result (exit $arch_status)")
    status=1
    continue
  fi
  read -r failed ran <<<"$results"
  skipped=$(grep -c '^[[:space:]]*[0-9]* - .* (Skipped)$' "$log" || true)
  names=$(sed -n 's/^[[:space:]]\{1,\}Test \{1,\}#[0-9]*: \([^ ]*\) .*[[:space:]]Passed .*/\1/p' "$log" | paste -sd' ' -)
  retried=""
  [ -z "$names" ] || retried=" ($(wc -w <<<"$names") of them only the second time; failed the first time: $names)"
  passed=$((ran - failed - skipped))
  summary+=("$arch: $passed passed$retried, $failed failed, $skipped skipped")
  total_passed=$((total_passed + passed))
  total_failed=$((total_failed + failed))
  total_skipped=$((total_skipped + skipped))
done

echo
splash_machine_line
for line in "${summary[@]}"; do
  echo "$line"
done
if [ "$lint_status" -ne 0 ]; then
  echo "lint: found something to mend (see its lines at the top)"
  status=1
fi
echo "tests: $total_passed passed, $total_failed failed, $total_skipped skipped"
exit $status
