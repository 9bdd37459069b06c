#!/usr/bin/env bash
# The checks below are strings that eval runs, so what they name expands only
# then, and a variable they alone read is used all the same.
# shellcheck disable=SC2016,SC2034
# tools/make_disc.sh on the sample disc: the image read back with xorriso,
# refusals that leave no image, signing with a throwaway certificate, and the
# menu run from the image's files on CD-ROM drive D: (disc_image_tests.exe).
#   make_disc_test.sh EMULATOR BIN_FOLDER WORK_FOLDER SHIPPED_BIN_FOLDER ARCH
# The image holds the shipped 32-bit programs (SHIPPED_BIN_FOLDER); the
# tests' own programs (BIN_FOLDER) are of ARCH. Its Wine prefixes are its own
# (below WORK_FOLDER): Wine learns a drive's type only when its server
# starts, which no other test's prefix may suffer.
set -uo pipefail
emulator=${1:?emulator} bin=${2:?bin folder} work=${3:?work folder} shipped=${4:?shipped bin folder} arch=${5:?arch}
root=$(cd "$(dirname "$0")/../.." && pwd)
build="$work/build"
failures=0

check() { # WHAT COMMAND...
  if "${@:2}"; then echo "ok   $1"; else echo "FAIL $1"; failures=$((failures + 1)); fi
}
make_disc() { # NAME ARGS...: output in WORK/NAME.log, exit code in $status
  "$root/tools/make_disc.sh" "${@:2}" --build "$build" --check-build "$work/check" </dev/null >"$work/$1.log" 2>&1
  status=$?
  sed "s/^/    [$1] /" "$work/$1.log"
}
refused() { [ "$status" -eq 1 ] && grep -qF -- "$2" "$work/$1.log"; }
sample_disc() { python3 "$root/tools/make_sample_disc.py" "$1" "$bin/StubProgram.exe" "$bin/Splash.exe" >/dev/null; }
files_of() { (cd "$1" && find . -type f -printf '%P\n') | LC_ALL=C sort; }
# What Windows reads: the Joliet tree.
joliet() { xorriso -read_fs norock -indev "$1" "${@:2}" 2>/dev/null; }

mkdir -p "$build/bin" "$work/check/bin" && chmod -R u+w "$work" &&
  find "$work" -mindepth 1 -maxdepth 1 ! -name build ! -name check ! -name "session-*" -exec rm -rf {} +
cp "$shipped/Splash.exe" "$shipped/SplashCheck.exe" "$build/bin/"
# Where this machine runs no 32-bit programs, the check runs as the tests' 64-bit build.
cp "$bin/SplashCheck.exe" "$work/check/bin/"
[ -n "${DISPLAY:-}" ] && export SPLASH_DISPLAY=$DISPLAY

sample_disc "$work/disc"
{ files_of "$work/disc"; echo autorun.inf; } | LC_ALL=C sort >"$work/expected.txt"
make_disc plain "$work/disc" "$work/disc.iso"
joliet "$work/disc.iso" -find / -type f | sed "s/^'\/\(.*\)'$/\1/" | LC_ALL=C sort >"$work/image.txt"
check "the image's names are the folder's and autorun.inf" cmp "$work/expected.txt" "$work/image.txt"
joliet "$work/disc.iso" -osirrox on -extract / "$work/plain"
check "autorun.inf, CR LF" cmp "$work/plain/autorun.inf" \
  <(printf '[autorun]\r\nopen=Splash.exe\r\nicon=Splash.exe,0\r\nlabel=Tavrin Vexa\r\n')
xorriso -indev "$work/disc.iso" -pvd_info >"$work/volume.txt" 2>&1
check "volume label" grep -qx "Volume Id *: TAVRIN_VEXA" "$work/volume.txt"
check "summary" grep -qzE 'Signed: +no.*Disc check: +complete' "$work/plain.log"

before=$(md5sum <"$work/disc.iso")
make_disc existing "$work/disc" "$work/disc.iso"
check "an existing image is kept without --force" eval 'refused existing --force && [ "$(md5sum <"$work/disc.iso")" = "$before" ]'
if [ "$(id -u)" -eq 0 ] && unshare -m true 2>/dev/null; then
  # 2 MiB of room, in a mount only this run sees.
  mkdir "$work/small"
  unshare -m sh -c 'mount -t tmpfs -o size=2m tmpfs "$0" && "$@"; s=$?; echo "left:" $(ls -A "$0"); exit $s' "$work/small" \
    "$root/tools/make_disc.sh" "$work/disc" "$work/small/disc.iso" --build "$build" --check-build "$work/check" \
    >"$work/full.log" 2>&1
  status=$?
  check "a full disk is refused, nothing left on it" eval 'refused full "not enough space" && grep -qx "left:" "$work/full.log"'
else
  echo "SKIP a full disk: mounting a small file system takes root and unshare, which this machine does not give"
fi

sample_disc "$work/incomplete"
rm "$work/incomplete/Docs/Manual_VexaB.pdf" "$work/incomplete/Tavrin HotFix2/Vexa_HotFix2.exe"
make_disc incomplete "$work/incomplete" "$work/incomplete.iso"
check "an incomplete disc is refused, naming what is missing, folder untouched" eval 'refused incomplete \
  "\Tavrin HotFix2\Vexa_HotFix2.exe" && refused incomplete "\Docs\Manual_VexaB.pdf" && [ ! -e "$work/incomplete/autorun.inf" ]'
make_disc allowed "$work/incomplete" "$work/incomplete.iso" --allow-incomplete
check "--allow-incomplete makes it, saying so" grep -q 'INCOMPLETE, 2 file(s) missing' "$work/allowed.log"

openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/certificate.pem" -days 2 \
  -subj "/CN=Tavrin Vexa throwaway" -addext extendedKeyUsage=codeSigning >/dev/null 2>&1
P='throw away' openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/certificate.pem" -out "$work/key.p12" -passout env:P
DISC_SIGN_PASSWORD=wrong make_disc wrong "$work/disc" "$work/wrong.iso" --sign "$work/key.p12"
check "a wrong password is refused" refused wrong "cannot sign"
DISC_SIGN_PASSWORD='throw away' make_disc signed "$work/disc" "$work/signed.iso" --sign "$work/key.p12" --with-check
joliet "$work/signed.iso" -osirrox on -extract / "$work/cdrom"
for program in Splash.exe SplashCheck.exe; do
  osslsigncode verify -CAfile "$work/certificate.pem" -in "$work/cdrom/$program" >"$work/verify.txt" 2>&1
  check "$program signed with SHA-256, verified" grep -qzE "digest algorithm *: SHA256.*Signature verification: ok" \
    "$work/verify.txt"
done
check "no partial image left" eval '[ -z "$(find "$work" -maxdepth 1 -name "*.part")" ] && [ ! -e "$work/wrong.iso" ]'

# The image's own 32-bit menu where the tests are 32-bit; the 64-bit test run
# puts the 64-bit build of the same sources in its place.
[ "$arch" = i686 ] || { chmod u+w "$work/cdrom" && rm -f "$work/cdrom/Splash.exe" && cp "$bin/Splash.exe" "$work/cdrom/"; }
(
  source "$root/tools/lib/wine-session.sh" "$work/session-$arch" "$arch"
  wine reg add 'HKLM\Software\Wine\Drives' /v d: /t REG_SZ /d cdrom /f >/dev/null 2>&1
  ln -sfn "$work/cdrom" "$WINEPREFIX/dosdevices/d:"
  wineserver -k; wineserver -w
  wineserver -p >/dev/null 2>&1 </dev/null &
  wine wineboot >/dev/null 2>&1 </dev/null
  SPLASH_CDROM_ROOT=D: "$emulator" "$bin/disc_image_tests.exe" 2>&1 | tee "$work/cdrom.log"
  rm -f "$WINEPREFIX/dosdevices/d:"
  wine reg delete 'HKLM\Software\Wine\Drives' /v d: /f >/dev/null 2>&1
)
check "the menu on CD-ROM drive D:" grep -q '^\[  PASSED  \] 1 test' "$work/cdrom.log"

echo "$failures failed"
[ "$failures" -eq 0 ]
