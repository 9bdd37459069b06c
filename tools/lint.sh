#!/usr/bin/env bash
# The format and the static checks that CI runs before the tests: every C++
# file formatted as .clang-format says, no cppcheck or clang-tidy finding in
# src/ (each suppression sits in the code with its reason), no shellcheck
# finding in the scripts of tools/ and tests/. Each tool says what it found;
# the script ends with one line naming the tools that found something.
#   tools/lint.sh
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root" || exit 1
source "$root/tools/lib/common.sh"

failed=()
cxx_files=$(git ls-files '*.cpp' '*.h')
src_files=$(git ls-files 'src/*.cpp')
shell_files=$(git ls-files 'tools/*.sh' 'tests/*.sh' '.ci/run')

echo "lint: clang-format"
# shellcheck disable=SC2086 # the lists are of tracked file names, without blanks
clang-format --dry-run --Werror $cxx_files || failed+=(clang-format)

echo "lint: cppcheck"
# The message maps declare a table of the same name in every class: each
# class's own, looked up before its base's (duplInheritedMember).
# shellcheck disable=SC2086
cppcheck --quiet --error-exitcode=1 --enable=warning,performance,portability --inline-suppr \
  --suppress=duplInheritedMember --platform=win32A --std=c++17 --language=c++ -I src \
  --template='{file}:{line}: {severity}: {message} [{id}]' $src_files || failed+=(cppcheck)

echo "lint: clang-tidy"
# The MinGW-w64 headers of the release build, which clang does not find alone.
gcc_include=$(find /usr/lib/gcc/i686-w64-mingw32 -maxdepth 3 -path '*-win32/include/c++' 2>/dev/null | head -n1)
[ -n "$gcc_include" ] || splash_fail "the i686 MinGW-w64 C++ headers are missing; run tools/setup.sh"
tidy_flags=(--target=i686-w64-mingw32 -std=c++17 -Isrc -isystem "$gcc_include"
            -isystem "$gcc_include/i686-w64-mingw32" -isystem /usr/i686-w64-mingw32/include)
# The log lies in build/, which a fresh clone does not have yet; a file that
# clang-tidy cannot check (exit status) fails the step as a finding does.
mkdir -p "$root/build"
tidy_log="$root/build/clang-tidy.log"
tidy_status=0
# shellcheck disable=SC2086
printf '%s\n' $src_files | xargs -P "$(nproc)" -I{} clang-tidy --quiet {} -- "${tidy_flags[@]}" \
  >"$tidy_log" 2>&1 || tidy_status=$?
grep -v '^[0-9]* warnings\? \(and [0-9]* errors\? \)\?generated\.$\|^Suppressed [0-9]* warnings' "$tidy_log" || true
if [ "$tidy_status" -ne 0 ] || grep -q 'warning:\|error:' "$tidy_log"; then
  failed+=(clang-tidy)
fi

echo "lint: shellcheck"
# shellcheck disable=SC2086
shellcheck -x -P SCRIPTDIR $shell_files || failed+=(shellcheck)

[ ${#failed[@]} -eq 0 ] || splash_fail "found something to mend: ${failed[*]}"
echo "lint: clang-format, cppcheck, clang-tidy and shellcheck found nothing"
