#!/usr/bin/env bash
# check-install.sh BUILD_DIR [EMULATOR...]: cmake --install of that build puts
# a working zebrin under bin/ and its man page under share/man/man1/ of the
# prefix. A cross-built zebrin runs under the emulator given.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" > /dev/null
[ -x "$prefix/bin/zebrin" ] || { echo "FAIL: no bin/zebrin"; exit 1; }
grep -q '^\.TH ZEBRIN 1 ' "$prefix/share/man/man1/zebrin.1" || {
  echo "FAIL: no man page share/man/man1/zebrin.1"
  exit 1
}
status=0
"${@:2}" "$prefix/bin/zebrin" -h > /dev/null || status=$?
[ "$status" -eq 127 ] || { echo "FAIL: installed zebrin -h ended with $status"; exit 1; }
echo "installed: bin/zebrin, share/man/man1/zebrin.1"
