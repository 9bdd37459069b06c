#!/usr/bin/env bash
# tools/setup.sh against a package mirror caught in mid-sync, with fake
# dpkg-query, dpkg and apt-get on the PATH: one index fails to download, and
# the install that follows works, works only without that index's suite, or
# does not work at all; or no index can be read.
#   setup_mirror_test.sh WORK_FOLDER
set -uo pipefail
work=${1:?work folder}
root=$(cd "$(dirname "$0")/../.." && pwd)
failures=0
rm -rf "$work" && mkdir -p "$work/bin"

fake() { printf '#!/usr/bin/env bash\n%s\n' "$2" >"$work/bin/$1" && chmod +x "$work/bin/$1"; }
fake dpkg-query 'exit 1'
fake dpkg 'echo i386'
fake sudo 'exec "$@"'
# apt-get: "update" as $UPDATE says; each "install" takes the next word of
# $INSTALLS (ok or fail) and keeps the preferences file it was given.
# shellcheck disable=SC2016 # the fake's own variables, expanded when it runs
fake apt-get 'echo "$*" >>"$WORK/calls"
if [ "$1" = update ]; then
  [ "$UPDATE" = none ] || echo "Get:1 http://mirror.test/debian bookworm InRelease [151 kB]"
  echo "Err:6 http://mirror.test/debian-security bookworm-security/main i386 Packages"
  exit 100
fi
count=$(grep -c "^install" "$WORK/calls")
for arg; do case $arg in Dir::Etc::Preferences=*) cat "${arg#*=}" >"$WORK/pins";; esac; done
[ "$(cut -d" " -f"$count" <<<"$INSTALLS")" = ok ]'

run() { # NAME UPDATE INSTALLS EXPECTED_STATUS EXPECTED_INSTALLS EXPECTED_LINE
  rm -f "$work/calls" "$work/pins"
  PATH="$work/bin:$PATH" WORK=$work UPDATE=$2 INSTALLS=$3 SPLASH_32BIT=yes \
    "$root/tools/setup.sh" >"$work/$1.log" 2>&1
  local status=$? installs
  installs=$(grep -c '^install' "$work/calls")
  if [ "$status" -eq "$4" ] && [ "$installs" -eq "$5" ] && grep -qF -- "$6" "$work/$1.log"; then
    echo "ok   $1"
  else
    echo "FAIL $1 (exit $status, $installs installs)"
    sed "s/^/    [$1] /" "$work/$1.log"
    failures=$((failures + 1))
  fi
}

run "goes on past one failed index" one ok 0 1 \
  "apt-get update: index failed, going on with the others: http://mirror.test/debian-security bookworm-security/main i386 Packages"
run "tries once more without the failed suite" one "fail ok" 0 2 "trying once more without the suites bookworm-security"
if ! grep -q "^Pin: release n=bookworm-security$" "$work/pins" 2>/dev/null || ! grep -q "^Pin-Priority: -1$" "$work/pins"; then
  echo "FAIL the second install leaves bookworm-security out"
  failures=$((failures + 1))
fi
run "stops when neither install works" one "fail fail" 1 2 "bookworm-security/main i386 Packages missing and without it"
run "stops when no index could be read" none ok 1 0 "apt-get update failed: check that Debian's package servers can be reached"

[ "$failures" -eq 0 ] || exit 1
echo "setup against a mirror in mid-sync: all cases passed"
