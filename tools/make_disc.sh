#!/usr/bin/env bash
# Masters the disc: puts the release menu (and, when asked, the disc check)
# into the root of a folder laid out like the disc, writes its autorun file,
# refuses a disc that lacks files of the layout, signs the programs when
# given a key and writes an ISO 9660 image with Joliet names.
#   tools/make_disc.sh DISC_FOLDER OUT.iso [options]
#     --with-check          put SplashCheck.exe on the disc too
#     --allow-incomplete    make the image even when the disc lacks files of the layout
#     --sign KEY.p12        sign the programs (Authenticode, SHA-256) with the key and
#                           certificate in KEY.p12; its password comes from the
#                           variable DISC_SIGN_PASSWORD, else from a prompt
#     --timestamp URL       have the signatures time-stamped by this RFC 3161 server
#     --build DIR           take the programs from DIR/bin (default: build/release)
#     --check-build DIR     where this machine runs no 32-bit programs, run the disc
#                           check from DIR/bin, a 64-bit build of the same sources
#                           (default: build/release-x64)
#     --force               replace an existing OUT.iso
# Nothing is written to the folder before the inputs, the key and the disc
# check have passed; the image is written beside OUT.iso and renamed to it
# only when it is complete and its names have been read back.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
started=$SECONDS

source "$root/tools/lib/common.sh"

usage() {
  # The options as the header above lists them: from the line that names
  # the command to the last option.
  sed -n '/^#   tools\/make_disc.sh /,/^#     --force/s/^# \{0,1\}//p' "$0" | sed '1s/^ */usage: /' >&2
  exit 2
}

disc="" out="" with_check="" allow_incomplete="" key="" timestamp_url="" force=""
build="$root/build/release"
check_build="$root/build/release-x64"
while [ $# -gt 0 ]; do
  case "$1" in
    --with-check) with_check=yes ;;
    --allow-incomplete) allow_incomplete=yes ;;
    --force) force=yes ;;
    --sign) [ $# -ge 2 ] || usage; key=$2; shift ;;
    --timestamp) [ $# -ge 2 ] || usage; timestamp_url=$2; shift ;;
    --build) [ $# -ge 2 ] || usage; build=$2; shift ;;
    --check-build) [ $# -ge 2 ] || usage; check_build=$2; shift ;;
    -*) echo "make_disc.sh: unknown option $1" >&2; usage ;;
    *)
      if [ -z "$disc" ]; then disc=$1
      elif [ -z "$out" ]; then out=$1
      else usage
      fi ;;
  esac
  shift
done
if [ -z "$disc" ] || [ -z "$out" ]; then usage; fi
[ -z "$timestamp_url" ] || [ -n "$key" ] || splash_fail "--timestamp needs --sign"

# --- The inputs, before anything is written -------------------------------

tools=(xorriso wine winepath)
[ -z "$key" ] || tools+=(osslsigncode openssl)
for tool in "${tools[@]}"; do
  command -v "$tool" >/dev/null || splash_fail "$tool is not installed: run tools/setup.sh"
done

[ -d "$disc" ] || splash_fail "no disc folder $disc"
disc=$(cd "$disc" && pwd)
[ -e "$out" ] && [ ! -f "$out" ] && splash_fail "$out exists and is not a file"
[ -e "$out" ] && [ -z "$force" ] && splash_fail "$out exists already: give --force to replace it"
out_dir=$(dirname "$out")
[ -d "$out_dir" ] || splash_fail "no folder $out_dir for the image"
out_dir=$(cd "$out_dir" && pwd)
out="$out_dir/$(basename "$out")"
case "$out_dir/" in
  "$disc"/*) splash_fail "the image would land inside the disc folder $disc: write it elsewhere" ;;
esac
[ -w "$out_dir" ] || splash_fail "cannot write to $out_dir"

# The product's name, as the menu's version information gives it, names the
# disc for Explorer (autorun label) and for the volume.
product=$(sed -n 's/^ *VALUE "ProductName", "\(.*\)"$/\1/p' "$root/src/res/Splash.rc")
[ -n "$product" ] || splash_fail "no ProductName in src/res/Splash.rc"
LC_ALL=C grep -q '^[ -~]*$' <<<"$product" || splash_fail "the product name \"$product\" is not plain ASCII"
# ISO 9660 allows A-Z, 0-9 and "_" in at most 32 characters.
# shellcheck disable=SC2018,SC2019 # in the C locale on purpose: ISO 9660's letters are ASCII
volume_label=$(LC_ALL=C tr 'a-z' 'A-Z' <<<"$product" | LC_ALL=C sed 's/[^A-Z0-9_]/_/g' | cut -c1-32)

[ -d "$build" ] || splash_fail "no build folder $build: build the release first (cmake --preset release && cmake --build --preset release)"
build=$(cd "$build" && pwd)

# "014c" for a 32-bit x86 Windows program, else what the file's header says.
pe_machine() {
  local offset
  [ "$(head -c 2 "$1")" = MZ ] || { echo "not a Windows program"; return; }
  offset=$(od -An -t u4 -j 60 -N 4 "$1" | tr -d ' ')
  [ "$(od -An -c -j "$offset" -N 4 "$1" | tr -d ' ')" = 'PE\0\0' ] || { echo "not a Windows program"; return; }
  od -An -t x2 -j $((offset + 4)) -N 2 "$1" | tr -d ' '
}

programs=(Splash.exe)
[ -n "$with_check" ] && programs+=(SplashCheck.exe)
for program in Splash.exe SplashCheck.exe; do
  file="$build/bin/$program"
  [ -f "$file" ] || splash_fail "$file is missing: build the release first (cmake --preset release && cmake --build --preset release)"
  machine=$(pe_machine "$file")
  [ "$machine" = 014c ] || splash_fail "$file is not a 32-bit Windows program (machine: $machine)"
  # Wine starts a program that imports what XP lacks; XP's loader does not.
  imports=$(/usr/bin/python3 "$root/tools/check_imports.py" "$file" 2>&1) || splash_fail "$file would not start on Windows XP SP3:
$imports"
done

# The disc check runs under the Wine this machine has: the 32-bit program
# that goes on the disc where 32-bit programs run, else a 64-bit build of it.
source "$root/tools/lib/machine.sh"
if [ "$SPLASH_RUN_ARCH" = i686 ]; then
  check_build=$build
else
  [ -f "$check_build/bin/SplashCheck.exe" ] || splash_fail "this machine runs no 32-bit programs, and the 64-bit disc check \
$check_build/bin/SplashCheck.exe is missing: build it (cmake --preset release-x64 && cmake --build --preset release-x64)"
  check_build=$(cd "$check_build" && pwd)
fi

# Names Windows would take for one (they differ only in case) cannot both be
# on the disc; nor can the names the image adds take another case there.
collisions=$({ (cd "$disc" && find . -mindepth 1 -printf '%P\n'); printf '%s\n' autorun.inf "${programs[@]}"; } \
  | LC_ALL=C sort -u | awk '{ key = tolower($0); count[key]++; names[key] = names[key] "\n    " $0 }
      END { for (key in count) if (count[key] > 1) printf "%s", names[key] }')
[ -z "$collisions" ] || splash_fail "names that differ only in case, which Windows cannot tell apart:$collisions"

password=""
if [ -n "$key" ]; then
  if [ ! -f "$key" ] || [ ! -r "$key" ]; then splash_fail "cannot read the key file $key"; fi
  if [ -n "${DISC_SIGN_PASSWORD+set}" ]; then
    password=$DISC_SIGN_PASSWORD
  elif (exec </dev/tty) 2>/dev/null; then
    printf 'Password of %s: ' "$key" >/dev/tty
    read -r -s password </dev/tty
    echo >/dev/tty
  else
    splash_fail "no password for $key: set DISC_SIGN_PASSWORD or run from a terminal"
  fi
fi
# The programs started from here have no need of it.
unset DISC_SIGN_PASSWORD

work=$(mktemp -d)
partial=""
cleanup() {
  [ -z "$partial" ] || rm -f "$partial"
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# --- The disc check ------------------------------------------------------

# Every Windows program this script starts runs here, under Wine in the
# build's private prefix: the disc check, on the disc folder, in English.
run_disc_check() {
  (
    source "$root/tools/lib/wine-session.sh" "$check_build" "$SPLASH_RUN_ARCH"
    "$root/tools/wine-exec.sh" "$check_build/bin/SplashCheck.exe" "$(winepath -w "$disc" | tr -d '\r')" --language en
  ) </dev/null
}

echo "Checking the disc in $disc ..."
check_status=0
run_disc_check >"$work/check.txt" 2>"$work/check-errors.txt" || check_status=$?
case "$check_status" in
  0 | 1) ;;
  *) cat "$work/check.txt" "$work/check-errors.txt" >&2
     splash_fail "the disc check did not run (exit code $check_status)" ;;
esac
missing=$(sed -n '/^Missing from the disc:/,$p' "$work/check.txt" | sed -n 's/^    \(\\.*\)$/\1/p')
missing_count=$(grep -c . <<<"$missing" || true)
if [ "$check_status" -eq 1 ]; then
  [ "$missing_count" -gt 0 ] || { cat "$work/check.txt" >&2; splash_fail "the disc check found the disc incomplete but named no file"; }
  {
    echo "The disc lacks $missing_count file(s) of the layout:"
    # shellcheck disable=SC2001 # every line of the list, not the first
    sed 's/^/    /' <<<"$missing"
  } >&2
  [ -n "$allow_incomplete" ] || splash_fail "refusing an incomplete disc (give --allow-incomplete to make its image anyway)"
  echo "make_disc.sh: making the image of an incomplete disc, as --allow-incomplete asks" >&2
fi

# --- The programs, signed in a staging folder before they reach the disc --

for program in "${programs[@]}"; do
  cp "$build/bin/$program" "$work/$program"
done

signer="" trust=""
# Checks a signed program's signature: against Debian's authorities first,
# else against the certificates it carries (a private or test certificate).
# Revocation lists are not fetched: nothing goes to the network unasked.
verify_signature() {
  local file=$1
  if osslsigncode verify -ignore-cdp -in "$file" >"$work/verify.txt" 2>&1; then
    trust="its certificate chains to a known authority"
  else
    rm -f "$work/signature.pem" "$work/chain.pem"
    if ! osslsigncode extract-signature -pem -in "$file" -out "$work/signature.pem" >/dev/null 2>&1 ||
      ! openssl pkcs7 -print_certs -in "$work/signature.pem" -out "$work/chain.pem" 2>/dev/null ||
      ! osslsigncode verify -ignore-cdp -in "$file" -CAfile "$work/chain.pem" >"$work/verify.txt" 2>&1; then
      cat "$work/verify.txt" >&2 2>/dev/null
      splash_fail "the signature of $(basename "$file") does not verify"
    fi
    trust="its certificate does not chain to a known authority"
  fi
  signer=$(sed -n 's/^[[:space:]]*Subject: //p' "$work/verify.txt" | head -n1)
}

if [ -n "$key" ]; then
  timestamp_options=()
  [ -z "$timestamp_url" ] || timestamp_options=(-ts "$timestamp_url")
  for program in "${programs[@]}"; do
    echo "Signing $program ..."
    # The password reaches osslsigncode through a pipe, never its command line.
    if ! osslsigncode sign -pkcs12 "$key" -readpass <(printf '%s' "$password") -h sha256 -n "$product" \
        "${timestamp_options[@]}" -in "$work/$program" -out "$work/$program.signed" >"$work/sign.txt" 2>&1; then
      sed 's/^/    /' "$work/sign.txt" >&2
      splash_fail "cannot sign $program with $key: a wrong password, or not a PKCS#12 file holding a key and its certificate${timestamp_url:+, or no answer from the time-stamp server $timestamp_url}"
    fi
    mv "$work/$program.signed" "$work/$program"
    verify_signature "$work/$program"
  done
fi
password=""

# --- The disc folder ------------------------------------------------------

for program in "${programs[@]}"; do
  cp -f "$work/$program" "$disc/$program"
done
printf '[autorun]\r\nopen=Splash.exe\r\nicon=Splash.exe,0\r\nlabel=%s\r\n' "$product" >"$disc/autorun.inf"

# Links count as the files they lead to: the image holds copies.
(cd "$disc" && find -L . -type f -printf '%P\n') | LC_ALL=C sort >"$work/folder.txt"
file_count=$(wc -l <"$work/folder.txt")

# Each file takes whole 2 KiB sectors, each name a directory record; the
# rest is the volume's own structures.
needed=$( (cd "$disc" && find -L . -mindepth 1 -printf '%s\n') \
  | awk '{ sectors += int(($1 + 2047) / 2048) + 1 } END { printf "%d", (sectors + 512) * 2048 }')
available=$(df -B1 --output=avail "$out_dir" | tail -n1 | tr -d ' ')
[ "$needed" -le "$available" ] \
  || splash_fail "not enough space in $out_dir: the image needs about $((needed / 1048576)) MiB, $((available / 1048576)) MiB are free"

# --- The image ------------------------------------------------------------

echo "Writing the image ..."
partial=$(mktemp -p "$out_dir" ".$(basename "$out").XXXXXX.part")
# Rock Ridge for Unix readers, Joliet (up to 103 characters a name) for Windows.
if ! xorriso -as mkisofs -quiet -r -J -joliet-long -follow-links -V "$volume_label" -o "$partial" "$disc" \
    >"$work/xorriso.txt" 2>&1; then
  sed 's/^/    /' "$work/xorriso.txt" >&2
  grep -qi 'no space left' "$work/xorriso.txt" && splash_fail "the disk holding $out_dir is full: no image written"
  splash_fail "xorriso could not write the image: no image written"
fi

# The names Windows will see: the image's Joliet tree, read back.
xorriso -read_fs norock -indev "$partial" -find / -type f 2>/dev/null \
  | sed -e "s/^'\\/\\(.*\\)'\$/\\1/" -e "s/'\"'\"'/'/g" | LC_ALL=C sort >"$work/image.txt"
if ! cmp -s "$work/folder.txt" "$work/image.txt"; then
  {
    echo "Names that did not come through as they are (< in the folder, > in the image):"
    diff "$work/folder.txt" "$work/image.txt" | grep '^[<>]' | sed 's/^/    /'
  } >&2
  splash_fail "the image would not hold the disc's names unchanged: no image written"
fi

# mktemp made it private; the image gets the modes of any new file.
chmod "$(umask -S | tr -d x)" "$partial"
if [ -n "$force" ]; then
  mv -f "$partial" "$out"
else
  mv -n "$partial" "$out"
  [ ! -e "$partial" ] || splash_fail "$out appeared while the image was written: left as it was"
fi
partial=""

size=$(stat -c %s "$out")
echo
echo "Disc image: $out"
echo "  Volume label: $volume_label"
echo "  Files:        $file_count"
echo "  Size:         $size bytes ($(awk -v size="$size" 'BEGIN { printf "%.1f", size / 1048576 }') MiB)"
if [ -n "$key" ]; then
  echo "  Signed:       yes: ${programs[*]}, SHA-256, by $signer; $trust;" \
    "$([ -n "$timestamp_url" ] && echo "time-stamped by $timestamp_url" || echo "not time-stamped")"
else
  echo "  Signed:       no"
fi
if [ "$check_status" -eq 0 ]; then
  echo "  Disc check:   complete"
else
  echo "  Disc check:   INCOMPLETE, $missing_count file(s) missing; made anyway (--allow-incomplete)"
fi
echo "  Time:         $((SECONDS - started)) s"
