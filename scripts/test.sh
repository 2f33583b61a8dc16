#!/usr/bin/env bash
# Installs what the tests need, builds every configuration and runs every test:
# the native builds here, the three deliverables in test-deliverables.sh (on
# machines that can't run 32-bit programs too; ZEBRIN_FORCE_NO_32BIT=1 takes
# that path anywhere).
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
echo "== fuzzing, short and seeded"
bash scripts/fuzz.sh --short
# Last, as it ends with the table of what ran of each deliverable.
bash scripts/test-deliverables.sh
echo "== all tests passed"
