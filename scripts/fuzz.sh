#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer)
# into out/fuzz and runs each of them, seeded, from the checked-in corpus.
#   fuzz.sh --short   about a minute per target (part of scripts/test.sh)
#   fuzz.sh --long    ten minutes per target; pass a number of seconds to choose
# New inputs the fuzzers keep go to out/fuzz/corpus-*; a finding stops the run
# with the input saved as out/fuzz/crash-* and a non-zero status.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=60
case "${1:---short}" in
  --short) seconds=60 ;;
  --long) seconds="${2:-600}" ;;
  *) echo "usage: fuzz.sh [--short | --long [seconds]]" >&2; exit 2 ;;
esac
bash scripts/ensure-packages.sh clang-14 libclang-rt-14-dev cmake make
cmake -S . -B out/fuzz -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZEBRIN_FUZZ=ON -DZEBRIN_SANITIZE=ON -DZEBRIN_TESTS=OFF > /dev/null
cmake --build out/fuzz --parallel 2 --target cmdline_fuzz engine_fuzz
# Absolute paths: the targets work in a scratch folder of their own.
out="$PWD/out/fuzz"
for target in cmdline engine; do
  mkdir -p "$out/corpus-$target"
  dict=()
  [ -f "tests/fuzz/$target.dict" ] && dict=(-dict="$PWD/tests/fuzz/$target.dict")
  echo "== fuzzing $target for ${seconds}s"
  # -seed fixes the run; the checked-in corpus is read, never written.
  "$out/${target}_fuzz" -seed=1 -max_total_time="$seconds" -max_len=4096 -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$out/crash-$target-" \
    "${dict[@]}" "$out/corpus-$target" "$PWD/tests/fuzz/corpus/$target"
done
echo "== fuzzing found nothing"
