#!/usr/bin/env bash
# Builds the optimised native program and compares the two example files.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/ensure-packages.sh g++ cmake make
cmake --preset release -DZEBRIN_TESTS=OFF > /dev/null
cmake --build --preset release --parallel > /dev/null
echo "\$ out/release/zebrin examples/greeting-1.txt examples/greeting-2.txt"
status=0
out/release/zebrin examples/greeting-1.txt examples/greeting-2.txt || status=$?
echo "(exit status $status)"
