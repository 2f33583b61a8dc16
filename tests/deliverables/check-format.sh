#!/usr/bin/env bash
# check-format.sh DELIVERABLE PROGRAM: the program's file format and the shared
# libraries it needs are what its platform expects.
#   linux:         i386 ELF, interpreter /lib/ld-linux.so.2, needs only libc.so.6
#   con32/posix32: PE32 console program for i386 that imports only system DLLs
#                  (the C++ runtime and libgcc are linked in), with an
#                  application manifest (asInvoker, longPathAware, Windows 7
#                  to 11, the ANSI code page left alone) and a version
#                  resource; both are printed as read
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
  check_resources
}

# The resources as the toolchain's resource compiler reads them back.
check_resources() {
  local rc manifest version id
  rc=$(i686-w64-mingw32-windres -i "$program" -O rc) || fail "its resources can't be read"
  # The manifest is written as rc string lines: "text\n" with "" for a quote.
  manifest=$(sed -n '/^1 24 \/\* RT_MANIFEST \*\//,/^END/p' <<< "$rc" |
    sed -n 's/^  "\(.*\)"$/\1/p' | sed 's/\\n$//; s/""/"/g')
  [ -n "$manifest" ] || fail "carries no application manifest"
  grep -q '<requestedExecutionLevel level="asInvoker"' <<< "$manifest" ||
    fail "manifest doesn't ask for asInvoker"
  grep -q '<longPathAware[^>]*>true</longPathAware>' <<< "$manifest" ||
    fail "manifest isn't longPathAware"
  # Windows 7, 8, 8.1, and 10 and 11.
  for id in 35138b9a-5d96-4fbd-8e2d-a2440225f93a 4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 \
    1f676c76-80e1-4239-95bb-83d0f6d0da78 8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a; do
    grep -q "<supportedOS Id=\"{$id}\"/>" <<< "$manifest" || fail "manifest lacks supportedOS $id"
  done
  # The output's bytes are in the system's ANSI code page: a contract.
  ! grep -q "<activeCodePage" <<< "$manifest" || fail "manifest changes the ANSI code page"
  version=$(sed -n '/VERSIONINFO$/,/^END/p' <<< "$rc")
  for line in 'FILEVERSION 1, 0, 0, 0' 'PRODUCTVERSION 1, 0, 0, 0' \
    'VALUE "CompanyName", "the ZEBRIN developers"' 'VALUE "FileVersion", "1.0"' \
    'VALUE "ProductName", "ZEBRIN"' 'VALUE "ProductVersion", "1.0"' \
    "VALUE \"OriginalFilename\", \"zebrin-$deliverable.exe\""; do
    grep -qF "$line" <<< "$version" || fail "version resource lacks $line"
  done
  grep -q 'VALUE "FileDescription", "..*"' <<< "$version" || fail "version resource lacks a description"
  grep -q 'VALUE "LegalCopyright", ".*MIT licence' <<< "$version" ||
    fail "version resource names no MIT licence"
  echo "$deliverable: manifest as read"
  echo "$manifest"
  echo "$deliverable: version resource as read"
  echo "$version"
}

case "$deliverable" in
  linux) check_elf ;;
  con32 | posix32) check_pe ;;
  *) fail "unknown deliverable" ;;
esac
tally 1
echo "$deliverable: format and imports as expected"
