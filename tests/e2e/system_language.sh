#!/usr/bin/env bash
# The first start on French, German and Dutch systems: runs the first-start
# test of e2e_tests.exe under each locale, with the code the menu must store
# (1036, 7 and 9) and the system's primary language that Wine must report.
# A fresh machine has only C locales, so they are generated into a private
# LOCPATH first.
#   system_language.sh EMULATOR E2E_TESTS_EXE LOCALE_FOLDER
set -euo pipefail
emulator=${1:?emulator}
tests=${2:?e2e_tests.exe}
locales=${3:?locale folder}
: "${WINEPREFIX:?run inside tools/lib/wine-session.sh (WINEPREFIX is not set)}"

mkdir -p "$locales"
status=0
# locale, code stored, primary language of the system
for case in fr_FR:1036:12 de_DE:7:7 nl_NL:9:19; do
  IFS=: read -r locale code primary <<<"$case"
  if [ ! -d "$locales/$locale.UTF-8" ]; then
    # localedef warns about details of some locale sources and still writes them.
    localedef -i "$locale" -f UTF-8 "$locales/$locale.UTF-8" >/dev/null 2>&1 || true
  fi
  if [ ! -d "$locales/$locale.UTF-8" ]; then
    echo "cannot generate the locale $locale.UTF-8" >&2
    status=1
    continue
  fi
  echo "== $locale.UTF-8: expecting $code"
  output=$(env -u LC_ALL -u LC_CTYPE -u LC_MESSAGES -u LANGUAGE LOCPATH="$locales" LANG="$locale.UTF-8" \
    SPLASH_EXPECTED_LANGUAGE="$code" SPLASH_SYSTEM_LANGUAGE="$primary" \
    "$emulator" "$tests" --gtest_filter='LanguageChoice.FirstStart*' 2>&1) || status=1
  echo "$output"
  # A filter that selects nothing passes: the one test must have run.
  grep -q '^\[  PASSED  \] 1 test' <<<"$output" || status=1
done
exit $status
