#!/usr/bin/env bash
# The host probe, the Wine each path runs, the check of the shipped
# program's form and formats, and the floppy images; no Wine needed.
#   scripts_test.sh SOURCE_DIR SETUP.EXE ARCH_OF_THAT_EXE
set -uo pipefail
src=$1 exe=$2 exe_arch=$3
passed=0 failed=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

check() { # name, then a command that must succeed
  local name=$1; shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $name"; fi
}
says() { # expected text, command...: the command's output holds the text
  local want=$1 out; shift
  out=$("$@" 2>&1) || true
  [[ $out == *"$want"* ]] || { echo "  got: $out"; return 1; }
}

# The probe: a forced path, a rejected value, a loader that can't run, and
# the plain i386 program where no loader is installed.
check "forced x86_64" says "arch: x86_64, tests under 64-bit Wine: forced by QSETUP_ARCH=x86_64" \
  env QSETUP_ARCH=x86_64 "$src/scripts/arch" --say
check "forced i686" says "i686" env QSETUP_ARCH=i686 "$src/scripts/arch"
check "bad value refused" bash -c '! QSETUP_ARCH=arm "$0/scripts/arch" 2>/dev/null' "$src"
printf '#!/bin/sh\necho "cannot execute binary file: Exec format error" >&2\nexit 126\n' >"$work/loader"
chmod +x "$work/loader"
check "loader that cannot run" says "x86_64, tests under 64-bit Wine: the 32-bit Wine loader cannot run here (cannot execute binary file: Exec format error)" \
  env -u QSETUP_ARCH QSETUP_PROBE_LOADER="$work/loader" "$src/scripts/arch" --say
check "no loader: the i386 program decides" says "static i386 program" \
  env -u QSETUP_ARCH QSETUP_PROBE_LOADER="$work/none" "$src/scripts/arch" --say

# Each path its own loader and prefix, never the other's.
env_of() {
  ( unset QSETUP_PREFIX; here=$src/scripts QSETUP_ARCH=$1
    source "$src/scripts/wine-env" && echo "$WINE $WINEARCH $WINEPREFIX" )
}
check "i686 Wine" says "/usr/lib/wine/wine win32 $src/build/wineprefix" env_of i686
check "x86_64 Wine" says "/usr/lib/wine/wine64 win64 $src/build/x86_64/wineprefix" env_of x86_64

# The shipped program's form: this build's SETUP.EXE passes where it is the
# i686 build, and a copy with one thing wrong fails, naming it.
if [ "$exe_arch" = i686 ]; then
  check "SETUP.EXE's form" says "i386, PE32, GUI" "$src/scripts/check-exe" "$exe"
  python3 - "$exe" "$work" <<'PY'
import struct, sys
exe, work = sys.argv[1], sys.argv[2]
data = bytearray(open(exe, "rb").read())
pe = struct.unpack_from("<I", data, 0x3C)[0]
console = bytearray(data); struct.pack_into("<H", console, pe + 24 + 68, 3)
open(work + "/console.exe", "wb").write(console)
name = "QSETUP".encode("utf-16-le")
noacc = bytearray(data); at = noacc.index(name); noacc[at:at + 2] = "X".encode("utf-16-le")
open(work + "/noacc.exe", "wb").write(noacc)
tile = struct.pack("<IiiHHI", 40, 160, 160, 1, 4, 2)
plain = bytearray(data); at = plain.index(tile); struct.pack_into("<I", plain, at + 16, 0)
open(work + "/plain.exe", "wb").write(plain)
PY
  check "a console program" says "subsystem 3, not a GUI program" "$src/scripts/check-exe" "$work/console.exe"
  check "no accelerator" says "accelerator QSETUP missing" "$src/scripts/check-exe" "$work/noacc.exe"
  check "a plain bitmap" says "bitmap 1 is stored with compression 0" "$src/scripts/check-exe" "$work/plain.exe"
  # A debug section, as an unstripped build carries.
  printf 'x' >"$work/debug.bin"
  i686-w64-mingw32-objcopy --add-section .debug_info="$work/debug.bin" "$exe" "$work/debug.exe" 2>/dev/null
  check "a debug section" says "debug sections .debug" "$src/scripts/check-exe" "$work/debug.exe"
  # Past what it may take of disk 1.
  { cat "$exe"; head -c 60000 /dev/zero; } >"$work/big.exe"
  check "too big" says "more than the 57344 it may take of disk 1" "$src/scripts/check-exe" "$work/big.exe"
  # The imports: exactly the reviewed list; a new one fails with its name,
  # and no CryptoAPI or msvcrt.dll at all.
  list=$src/tests/scripts/setup-imports.txt
  check "imports as listed" says "imports are the listed ones" "$src/scripts/check-exe" --imports "$list" "$exe"
  grep -v 'USER32.dll MessageBoxA' "$list" >"$work/short.txt"
  check "an import not on the list" says "imports not on the list: USER32.dll MessageBoxA" \
    "$src/scripts/check-exe" --imports "$work/short.txt" "$exe"
  { cat "$list"; echo 'KERNEL32.dll GetFileSizeEx'; } >"$work/long.txt"
  check "a listed import gone" says "no longer imported (take them off the list): kernel32.dll getfilesizeex" \
    "$src/scripts/check-exe" --imports "$work/long.txt" "$exe"
  check "no CryptoAPI, no msvcrt.dll" bash -c '! "$0" --list-imports "$1" | grep -Ei "^msvcrt|Crypt"' \
    "$src/scripts/check-exe" "$exe"
else
  check "an x86-64 build is not the shipped form" says "machine 0x8664, not i386" "$src/scripts/check-exe" "$exe"
fi

# The formats the 1995 C run-time knows pass; each it lacks fails, named.
cat >"$work/formats.cpp" <<'C'
Say("%s %d %u %-8lu %5ld %x %lX %c 100%%lld");
Say("a %lld b %I64u c %zu d %.2f e %hhd");
C
out=$("$src/scripts/check-formats" "$work/formats.cpp" 2>&1); status=$?
check "formats crtdll.dll lacks fail" test "$status" = 1
for bad in %lld %I64u %zu %.2f %hhd; do
  check "format $bad named" says "formats.cpp:2: \"$bad\"" printf '%s' "$out"
done
check "the formats it knows pass" bash -c '! printf "%s" "$0" | grep -q "formats.cpp:1"' "$out"

# The bitmaps as committed: run-length encoded, with the pixels of their
# plain forms; a plain one is not taken for RLE4.
for bitmap in tile logo; do
  check "$bitmap.bmp is its plain form's pixels" says "the pixels of" \
    "$src/scripts/rle4" --check "$src/res/images/$bitmap-plain.bmp" "$src/res/images/$bitmap.bmp"
done
check "a plain bitmap is no RLE4" says "is not stored as BI_RLE4" \
  "$src/scripts/rle4" --check "$src/res/images/tile-plain.bmp" "$src/res/images/tile-plain.bmp"

# Floppy images: a medium's disks written and read back; a disk too big
# for the size fails, naming it.
mkdir -p "$work/medium/DISK1" "$work/medium/DISK2"
printf 'setup' >"$work/medium/DISK1/SETUP.EXE"
head -c 300000 /dev/urandom >"$work/medium/DISK1/SKAI.TTE"
head -c 1000 /dev/urandom >"$work/medium/DISK2/SKAI.002"
check "images read back" says "DISK2.IMG: 1 files, read back the same" \
  "$src/scripts/floppy-images" "$work/medium" 360K "$work/images"
head -c 400000 /dev/urandom >"$work/medium/DISK2/SKAI.002"
check "a disk too big" says "DISK2 does not fit a 360K floppy" \
  "$src/scripts/floppy-images" "$work/medium" 360K "$work/images"

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
