#!/usr/bin/env bash
# Installs what the tests need, builds every configuration and runs every test:
# the native builds here, the three deliverables in test-deliverables.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/ensure-packages.sh g++ cmake make libgtest-dev libgmock-dev diffutils
jobs=$(nproc)
for preset in release debug; do
  echo "== $preset build"
  cmake --preset "$preset" -DZEBRIN_TESTS=ON > /dev/null
  cmake --build --preset "$preset" --parallel "$jobs"
  echo "== $preset tests"
  ctest --preset "$preset" --parallel "$jobs" -LE deliverables
done
bash scripts/test-deliverables.sh
echo "== fuzzing, short and seeded"
bash scripts/fuzz.sh --short
echo "== all tests passed"
