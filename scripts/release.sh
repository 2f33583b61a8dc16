#!/usr/bin/env bash
# Builds the three deliverables and puts them into dist/ with the man page and
# a SHA256SUMS file: zebrin-con32.exe, zebrin-posix32.exe, zebrin-linux,
# zebrin.1. Installs the cross compilers when missing.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/ensure-packages.sh cmake make g++-i686-linux-gnu g++-mingw-w64-i686
jobs=$(nproc)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
for preset in linux con32 posix32; do
  echo "== $preset build"
  cmake --preset "$preset" > /dev/null
  cmake --build --preset "$preset" --parallel "$jobs"
  cmake --install "out/$preset" --prefix "$stage" > /dev/null
done
rm -rf dist
mkdir dist
cp "$stage/bin/zebrin-con32.exe" "$stage/bin/zebrin-posix32.exe" "$stage/bin/zebrin-linux" \
  "$stage/share/man/man1/zebrin.1" dist/
(cd dist && sha256sum zebrin-con32.exe zebrin-posix32.exe zebrin-linux zebrin.1 > SHA256SUMS)
echo "== dist/"
ls -l dist
