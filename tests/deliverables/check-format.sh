#!/usr/bin/env bash
# check-format.sh DELIVERABLE PROGRAM: the program's file format and the shared
# libraries it needs are what its platform expects.
#   linux:         i386 ELF, interpreter /lib/ld-linux.so.2, needs only libc.so.6
#   con32/posix32: PE32 console program for i386 that imports only system DLLs
#                  (the C++ runtime and libgcc are linked in)
set -euo pipefail
deliverable=$1 program=$2
# The tally for the test script's closing table, when it asks for one.
tally() {
  [ -z "${ZEBRIN_RESULTS:-}" ] || echo "$1 1" > "$ZEBRIN_RESULTS/$deliverable.format"
}
fail() {
  echo "FAIL $deliverable: $*" >&2
  tally 0
  exit 1
}

check_elf() {
  local header needed
  header=$(readelf -h "$program")
  grep -Eq 'Class: +ELF32' <<< "$header" || fail "not a 32-bit ELF"
  grep -Eq 'Machine: +Intel 80386' <<< "$header" || fail "not for i386"
  readelf -l "$program" | grep -q '\[Requesting program interpreter: /lib/ld-linux.so.2\]' ||
    fail "interpreter is not /lib/ld-linux.so.2"
  needed=$(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | tr '\n' ' ')
  [ "$needed" = "libc.so.6 " ] || fail "needs '$needed', expected only libc.so.6"
}

check_pe() {
  local headers dll
  headers=$(i686-w64-mingw32-objdump -p "$program")
  grep -q 'file format pei-i386' <<< "$headers" || fail "not a PE for i386"
  grep -Eq '^Magic[[:space:]]+010b[[:space:]]+\(PE32\)' <<< "$headers" || fail "not PE32"
  grep -Eq '^Subsystem[[:space:]]+00000003[[:space:]]+\(Windows CUI\)' <<< "$headers" ||
    fail "not a console program"
  grep -q 'DLL Name: KERNEL32.dll' <<< "$headers" || fail "doesn't import KERNEL32.dll"
  while read -r dll; do
    case "$dll" in
      KERNEL32.dll | USER32.dll | msvcrt.dll) ;;
      *) fail "imports $dll, which isn't part of the system" ;;
    esac
  done < <(sed -n 's/.*DLL Name: //p' <<< "$headers")
}

case "$deliverable" in
  linux) check_elf ;;
  con32 | posix32) check_pe ;;
  *) fail "unknown deliverable" ;;
esac
tally 1
echo "$deliverable: format and imports as expected"
