#!/usr/bin/env bash
# sync-bench.sh: times `zebrin -s` beside the plain shift search.
#
#   zeros  two 4 MiB zero-filled files that differ in one byte late in the
#          first buffer-full of file 2: the plain search's byte loops run far
#          at each of its 0x80000 shifts, about 10^12 byte comparisons.
#   shift  64 MiB of fixed-seed random data; file 1 is 5 extra bytes + file 2.
#
# zebrin -s is run RUNS times per pair (default 7, after one warm-up run) and
# reported as median (min-max) wall time. The plain search (bench/plain_sync.cpp,
# the search alone, no comparison after it) runs once on the zeros pair under
# a limit of PLAIN_TIMEOUT seconds (default 300), and RUNS times on the shift
# pair. Default buffer sizes throughout. Installs what the build needs, like
# scripts/test.sh; needs about 140 MB in the temporary folder.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${RUNS:-7}
plain_timeout=${PLAIN_TIMEOUT:-300}

bash scripts/ensure-packages.sh g++ cmake make libgtest-dev libgmock-dev
cmake --preset release > /dev/null
cmake --build --preset release --target zebrin --parallel 2 > /dev/null
zebrin=$PWD/out/release/zebrin
mkdir -p out/bench
for prog in plain_sync make_bench_files; do
  g++ -std=c++17 -O2 -Wall -Wextra -Wconversion -Werror -o "out/bench/$prog" "bench/$prog.cpp"
done
plain=$PWD/out/bench/plain_sync

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
out/bench/make_bench_files "$work"
cd "$work"

# Wall seconds of one run, its output discarded. zebrin's status tells the
# comparison's result (3, 9, ...), so it is not a failure here.
seconds() {
  local t0 t1
  t0=$(date +%s.%N)
  "$@" > /dev/null || true
  t1=$(date +%s.%N)
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.4f\n", b - a }'
}

# Median (min-max) of RUNS runs of a command, after one warm-up run.
timed() {
  "$@" > /dev/null || true
  local i
  for ((i = 0; i < runs; i++)); do seconds "$@"; done | sort -n |
    awk '{ t[NR] = $1 } END { printf "median %.4f s (min %.4f, max %.4f) over %d runs\n",
                              t[int((NR + 1) / 2)], t[1], t[NR], NR }'
}

found() { "$zebrin" -v -s "$1" "$2" | grep -E '^(Found equals|Trying|No different)' | tail -1 || true; }

report_pair() {
  local title=$1 f1=$2 f2=$3
  echo "$title"
  echo "  zebrin -s:     $(timed "$zebrin" -s "$f1" "$f2")"
  echo "                 search: $(found "$f1" "$f2")"
}

echo "== zebrin -s against the plain shift search (default buffers; $(nproc) cores, load $(cut -d' ' -f1 /proc/loadavg))"
report_pair "shift: 64 MiB random, file 1 = 5 extra bytes + file 2" shift1 shift2
echo "  plain search:  $(timed timeout "$plain_timeout" "$plain" shift1 shift2)"
echo "                 (the search alone: $("$plain" shift1 shift2))"

report_pair "zeros: 4 MiB of zeros each, file 2 has 0x01 at 0xFFFFF" zeros1 zeros2
echo "                 (no shift found: 'Trying' is the trace's last search line)"
echo "  plain search:  1 run, limit $plain_timeout s ..."
t0=$(date +%s.%N)
if timeout "$plain_timeout" "$plain" zeros1 zeros2 > plain.out; then
  t1=$(date +%s.%N)
  echo "                 $(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.1f", b - a }') s: $(cat plain.out)"
else
  echo "                 did not finish within $plain_timeout s (stopped)"
fi
