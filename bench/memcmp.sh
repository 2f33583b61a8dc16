#!/usr/bin/env bash
# Is the C library's memcmp fast on every deliverable's platform? Builds
# memcmp_speed.cpp for the host, for i386 Linux and for Win32 (run under wine)
# and prints one table row each (MiB/s on equal 4 MiB buffers, in cache).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/ensure-packages.sh g++ g++-i686-linux-gnu g++-mingw-w64-i686 wine wine32:i386 \
  libc6:i386
source scripts/lib/i386.sh
bin=out/bench
mkdir -p "$bin"
echo
echo "| build | memcmp, 4 KiB chunks MiB/s | 8 bytes at a time MiB/s | ratio |"
echo "|---|---:|---:|---:|"
g++ -std=c++17 -O2 -o "$bin/memcmp_speed" bench/memcmp_speed.cpp
"$bin/memcmp_speed" "x86-64 glibc"
if ! zebrin_runs_i386; then
  # Under emulation a speed says nothing about the platform's memcmp.
  echo
  echo "note: $(zebrin_i386_path_line | sed 's/: taking.*//') - the i386 and Win32 rows are left out"
  exit 0
fi
i686-linux-gnu-g++ -std=c++17 -O2 -static -o "$bin/memcmp_speed32" bench/memcmp_speed.cpp
"$bin/memcmp_speed32" "i386 glibc (static)"
i686-w64-mingw32-g++ -std=c++17 -O2 -static -o "$bin/memcmp_speed.exe" bench/memcmp_speed.cpp
WINEDEBUG=-all wine "$bin/memcmp_speed.exe" "Win32 MinGW, msvcrt under wine" 2> /dev/null | tr -d '\r'
