#!/usr/bin/env bash
# The speed benchmark: builds ZEBRIN and the benchmark's own floors, makes the
# inputs (fixed seed) in a temporary folder, and runs every tool side by side,
# in rotating order, printing a Markdown table and the targets.
#
#   bash bench/run.sh            full sizes (about 6.5 GiB of temporary files)
#   bash bench/run.sh --quick    small sizes, for trying things
#   options: --rounds N (default 5), --only KEY,KEY (equal permib all-null
#            all-pipe alt-null alt-pipe adv shift tune-equal tune-permib
#            tune-shift), --no-memcmp
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

quick=0
rounds=5
only=""
memcmp=1
while [ $# -gt 0 ]; do
  case "$1" in
    --quick) quick=1 ;;
    --rounds) rounds=$2; shift ;;
    --only) only=$2; shift ;;
    --no-memcmp) memcmp=0 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
  shift
done

bash scripts/ensure-packages.sh g++ g++-i686-linux-gnu libc6:i386 cmake make time diffutils python3 \
  dpkg-dev
source scripts/lib/i386.sh

echo "== building" >&2
cmake --preset release -DZEBRIN_TESTS=OFF > /dev/null
cmake --build --preset release --parallel 2 > /dev/null
# The program as the Debian package builds it: dpkg-buildflags' flags with the
# package's hardening, and no build type of ours, as dh_auto_configure has it.
(
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  eval "$(dpkg-buildflags --export=sh)"
  CXXFLAGS="$CXXFLAGS $CPPFLAGS" cmake -S . -B out/bench-package -DCMAKE_BUILD_TYPE=None \
    -DZEBRIN_TESTS=OFF -DZEBRIN_WERROR=OFF > /dev/null
  cmake --build out/bench-package --parallel 2 > /dev/null
)
linux_args=()
if ! zebrin_runs_i386; then
  # Under emulation a timing says nothing about the program.
  echo "note: $(zebrin_i386_path_line | sed 's/: taking.*//') - zebrin-linux is left out" >&2
elif grep -q '"name": "linux"' CMakePresets.json; then
  cmake --preset linux -DZEBRIN_TESTS=OFF > /dev/null
  cmake --build --preset linux --parallel 2 > /dev/null
  linux_args=(--zebrin-linux "$root/out/linux/zebrin-linux")
else
  echo "note: no cmake preset 'linux' in this tree - zebrin-linux is left out" >&2
fi
bin=$root/out/bench
mkdir -p "$bin"
for tool in make_inputs read_floor map_floor print_floor; do
  g++ -std=c++17 -O2 -Wall -Wextra -o "$bin/$tool" "bench/$tool.cpp"
done
# The same engine comparing always by reads, and always through mappings.
for use in reads:never mapped:always; do
  g++ -std=c++17 -O2 -Wall -Wextra -fPIE -pie -Isrc -DZEBRIN_EXIT_LOW_EIGHT_BITS=0 \
    -DZEBRIN_MAPPING_USE="${use#*:}" -o "$bin/zebrin_${use%:*}" bench/zebrin_paths.cpp \
    src/compare/platform_exit.cpp out/release/libzebrin_engine.a
done
if [ ${#linux_args[@]} -gt 0 ]; then
  # zebrin-linux is an i386 program; its floors are i386 builds of the same.
  for tool in read_floor map_floor print_floor; do
    i686-linux-gnu-g++ -std=c++17 -O2 -static -Wall -Wextra -o "$bin/${tool}32" "bench/$tool.cpp"
  done
  linux_args+=(--read-floor32 "$bin/read_floor32" --map-floor32 "$bin/map_floor32"
               --print-floor32 "$bin/print_floor32")
fi

# Full sizes: the largest files the program takes are just below 2 GiB.
if [ $quick -eq 1 ]; then
  sizes=(256 16 32 16 16)
else
  sizes=(2047 64 128 64 64)
fi
need_mib=$((3 * sizes[0] + 2 * sizes[1] + 2 * sizes[2] + 2 * sizes[3] + 5 * sizes[4] + 8))
tmp=$(mktemp -d "${TMPDIR:-/tmp}/zebrin-bench-XXXXXX")
trap 'rm -rf "$tmp"' EXIT
avail_mib=$(df -Pm "$tmp" | awk 'NR == 2 { print $4 }')
if [ "$avail_mib" -lt $((need_mib + 512)) ]; then
  echo "not enough space in $tmp: need $need_mib MiB, have $avail_mib MiB" >&2
  exit 1
fi
echo "== making inputs in $tmp ($need_mib MiB)" >&2
"$bin/make_inputs" "$tmp" "${sizes[@]}"

echo "== $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, rounds: $rounds"
python3 bench/bench.py --inputs "$tmp" --rounds "$rounds" --zebrin "$root/out/release/zebrin" \
  --zebrin-reads "$bin/zebrin_reads" --zebrin-mapped "$bin/zebrin_mapped" \
  --zebrin-package "$root/out/bench-package/zebrin" "${linux_args[@]}" \
  --read-floor "$bin/read_floor" --map-floor "$bin/map_floor" --print-floor "$bin/print_floor" \
  --only "$only"

if [ $memcmp -eq 1 ]; then
  bash bench/memcmp.sh
fi
