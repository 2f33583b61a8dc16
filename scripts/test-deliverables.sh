#!/usr/bin/env bash
# Cross-builds zebrin-linux, zebrin-con32 and zebrin-posix32 and runs the
# command-line table and the deliverable checks against each. How they run
# depends on whether this machine starts i386 programs (scripts/lib/i386.sh):
#   it does:    zebrin-linux itself, the two PE32 files under Wine;
#   it doesn't: zebrin-linux itself under qemu-i386; 64-bit twins of the two
#               Win32 programs (same sources, same settings) under 64-bit
#               Wine; the shipped PE32 files only in a short smoke run; and
#               the test suite only compiled for i386, as a native i386 build
#               of the package compiles it (the release check builds that
#               where i386 programs run).
# Ends with a table of what ran. Called by scripts/test.sh after the native
# builds; installs its toolchains, Wine and qemu when missing.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/i386.sh
bash scripts/ensure-packages.sh g++-i686-linux-gnu g++-mingw-w64-i686 binutils \
  binutils-mingw-w64-i686 wine wine32:i386 libc6:i386
presets=(linux con32 posix32)
if ! zebrin_runs_i386; then
  bash scripts/ensure-packages.sh qemu-user g++-mingw-w64-x86-64 wine64 libgtest-dev:i386 \
    libgmock-dev:i386
  presets+=(con32-twin64 posix32-twin64 i386-tests)
fi
echo "== $(zebrin_i386_path_line)"
jobs=$(nproc)
for preset in "${presets[@]}"; do
  echo "== $preset build"
  cmake --preset "$preset" > /dev/null
  cmake --build --preset "$preset" --parallel "$jobs"
done

out="$PWD/out"
results="$out/results"
rm -rf "$results"
mkdir -p "$results"
export ZEBRIN_RESULTS="$results"
con32="$out/$(zebrin_win32_preset con32)/zebrin-con32.exe"
posix32="$out/$(zebrin_win32_preset posix32)/zebrin-posix32.exe"

# The shipped PE32 files can't be started the usual way here; their smoke run
# (slow: 32-bit Wine under emulation) goes on beside the table runs.
smoke_pid=""
if ! zebrin_runs_i386; then
  echo "== smoke run of the shipped PE32 files started (results at the end)"
  bash tests/deliverables/smoke-pe32.sh "$out/release/zebrin" "$out/con32/zebrin-con32.exe" \
    "$out/posix32/zebrin-posix32.exe" > "$results/smoke.log" 2>&1 < /dev/null &
  smoke_pid=$!
fi

# The native test build runs the table; tell it where the deliverables are
# and what starts them.
cmake --preset release -DZEBRIN_TESTS=ON -DZEBRIN_LINUX_PROGRAM="$out/linux/zebrin-linux" \
  -DZEBRIN_LINUX_LAUNCHER="$(zebrin_linux_launcher)" -DZEBRIN_CON32_PROGRAM="$con32" \
  -DZEBRIN_POSIX32_PROGRAM="$posix32" -DZEBRIN_CON32_SHIPPED="$out/con32/zebrin-con32.exe" \
  -DZEBRIN_POSIX32_SHIPPED="$out/posix32/zebrin-posix32.exe" -DZEBRIN_WINE="$(zebrin_wine)" \
  > /dev/null
cmake --build --preset release --parallel "$jobs"

# One Wine server for the whole run, in a prefix of its own, so that each run
# of a Win32 program costs milliseconds. The prefix is made here, with its
# helper processes' output going to /dev/null: a helper that held on to a
# test's output pipe would keep the test runner reading forever.
# Wine keeps the server's socket in a folder under TMPDIR that outlives the
# server, and a Wine program finds its server only under the same TMPDIR: Wine
# and the tests that start it get a TMPDIR of the run's own, removed with it.
wine_dir=$(mktemp -d "${TMPDIR:-/tmp}/zebrin-wine.XXXXXX")
mkdir "$wine_dir/prefix" "$wine_dir/tmp"
with_wine_tmp() { TMPDIR=$wine_dir/tmp "$@"; }
WINEPREFIX=$wine_dir/prefix
WINELOADER=$(zebrin_wine)
[ "$WINELOADER" != wine ] || unset WINELOADER
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
stop_wine() {
  with_wine_tmp wineserver -k > /dev/null 2>&1 || true
  rm -rf "$wine_dir"
  # The smoke run's time limit ends its namespace, and with it every process.
  [ -z "$smoke_pid" ] || { pkill -P "$smoke_pid" || true; kill "$smoke_pid" || true; } 2> /dev/null
}
trap stop_wine EXIT
echo "== starting Wine"
with_wine_tmp wineserver -p
with_wine_tmp "$(zebrin_wine)" cmd /c exit > /dev/null 2>&1 < /dev/null

echo "== deliverable tests"
rm -f "$out"/release/results/cli.{linux,con32,posix32}.xml
failed=0
with_wine_tmp ctest --preset release -L deliverables --parallel "$jobs" || failed=1

if [ -n "$smoke_pid" ]; then
  echo "== waiting for the smoke run of the shipped PE32 files"
  wait "$smoke_pid" || failed=1
  smoke_pid=""
  cat "$results/smoke.log"
fi

echo "== release"
bash tests/release/check-release.sh || failed=1

bash scripts/what-ran.sh "$results" "$out/release/results"
exit $failed
