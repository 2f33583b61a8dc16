#!/usr/bin/env bash
# Cross-builds zebrin-linux, zebrin-con32 and zebrin-posix32 and runs the
# command-line table and the deliverable checks against each: zebrin-linux
# directly, the two Win32 programs under Wine. Called by scripts/test.sh after
# the native builds; installs its toolchains and Wine when missing.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/ensure-packages.sh g++-i686-linux-gnu g++-mingw-w64-i686 binutils \
  binutils-mingw-w64-i686 wine wine32:i386
jobs=$(nproc)
for preset in linux con32 posix32; do
  echo "== $preset build"
  cmake --preset "$preset" > /dev/null
  cmake --build --preset "$preset" --parallel "$jobs"
done

# The native test build runs the table; tell it where the deliverables are.
out="$PWD/out"
cmake --preset release -DZEBRIN_TESTS=ON -DZEBRIN_LINUX_PROGRAM="$out/linux/zebrin-linux" \
  -DZEBRIN_CON32_PROGRAM="$out/con32/zebrin-con32.exe" \
  -DZEBRIN_POSIX32_PROGRAM="$out/posix32/zebrin-posix32.exe" > /dev/null
cmake --build --preset release --parallel "$jobs"

# One Wine server for the whole run, in a prefix of its own, so that each run
# of a Win32 program costs milliseconds. The prefix is made here, with its
# helper processes' output going to /dev/null: a helper that held on to a
# test's output pipe would keep the test runner reading forever.
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/zebrin-wine.XXXXXX")
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
stop_wine() {
  wineserver -k > /dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
}
trap stop_wine EXIT
echo "== starting Wine"
wineserver -p
wine cmd /c exit > /dev/null 2>&1 < /dev/null

echo "== deliverable tests"
ctest --preset release -L deliverables --parallel "$jobs"

echo "== release"
bash tests/release/check-release.sh
