#!/usr/bin/env bash
# cross-arch.sh ARCH SOURCE BUILD: ZEBRIN for another Debian architecture
# (arm64, armhf, ppc64el or s390x), built as that architecture's build
# machine builds it and proven here under user-mode emulation: the tree at
# SOURCE cross-built in BUILD with Debian's cross compiler, its tests
# included and warnings errors, against GoogleTest built for the target from
# Debian's source of it (/usr/src/googletest, package libgtest-dev); then the
# whole native test suite run under qemu-user, the fault table included; and
# on arm64 and ppc64el, whose kernels may use 64 KiB pages, the command-line
# table once more with the program under test on 64 KiB pages.
# The emulator is started by name (build/toolchains/debian-cross.cmake), not
# through the kernel's binfmt_misc, which a container may lack: so every
# machine takes the same path, and the page size and the fault library's
# preload reach the program under test alone.
# With ZEBRIN_RESULTS set, leaves the tallies for the closing table there:
# release.ARCH ("passed total" of the suite's tests, or "not run: why") and
# release.ARCH-64k (of the table's cases on 64 KiB pages).
set -euo pipefail
arch=$1 source=$(realpath "$2")
mkdir -p "$3"
build=$(realpath "$3")
cd "$(dirname "$0")/../.."
case "$arch" in
  arm64) triplet=aarch64-linux-gnu pages64k=yes ;;
  armhf) triplet=arm-linux-gnueabihf pages64k=no ;;
  ppc64el) triplet=powerpc64le-linux-gnu pages64k=yes ;;
  s390x) triplet=s390x-linux-gnu pages64k=no ;;
  *)
    echo "cross-arch.sh: no such architecture here: $arch" >&2
    exit 2
    ;;
esac
tally_of() {
  [ -z "${ZEBRIN_RESULTS:-}" ] || echo "${*:2}" > "$ZEBRIN_RESULTS/release.$1"
}
bash scripts/ensure-packages.sh cmake make binutils libgtest-dev diffutils qemu-user "g++-$triplet"
toolchain=$source/build/toolchains/$triplet.cmake
jobs=$(nproc)

# ctest's last words: "N% tests passed, F tests failed out of T" as "T-F T".
ctest_tally() {
  sed -n 's/.* tests passed, \([0-9]*\) tests failed out of \([0-9]*\)$/\1 \2/p' "$1" |
    awk '{ print $2 - $1, $2 }'
}

echo "== $arch: GoogleTest for $triplet"
cmake -S /usr/src/googletest -B "$build/gtest-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF -DCMAKE_INSTALL_PREFIX="$build/gtest" \
  > "$build/gtest.log" 2>&1 &&
  cmake --build "$build/gtest-build" --parallel "$jobs" >> "$build/gtest.log" 2>&1 &&
  cmake --install "$build/gtest-build" >> "$build/gtest.log" 2>&1 || {
  cat "$build/gtest.log"
  echo "FAIL: $arch: GoogleTest doesn't build for $triplet"
  tally_of "$arch" "not run: GoogleTest didn't build for $triplet"
  exit 1
}

echo "== $arch: ZEBRIN and its tests, cross-built with $triplet-g++"
options=()
[ $pages64k = no ] || options+=(-DZEBRIN_EMULATED_64K_PAGES=ON)
cmake -S "$source" -B "$build/zebrin" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DZEBRIN_TESTS=ON -DGTest_DIR="$build/gtest/lib/cmake/GTest" \
  "${options[@]}" > "$build/zebrin.log" 2>&1 &&
  cmake --build "$build/zebrin" --parallel "$jobs" >> "$build/zebrin.log" 2>&1 || {
  cat "$build/zebrin.log"
  echo "FAIL: $arch: the build failed (warnings are errors)"
  tally_of "$arch" "not run: the build failed"
  [ $pages64k = no ] || tally_of "$arch-64k" "not run: the build failed"
  exit 1
}
readelf -h "$build/zebrin/zebrin" | grep -E 'Class|Data|Machine'

echo "== $arch: the test suite under qemu-user"
failed=0
(cd "$build/zebrin" && ctest --parallel "$jobs" --output-on-failure -E '^cli\.native-64k$') \
  2>&1 | tee "$build/ctest.log" || failed=1
tests=$(ctest_tally "$build/ctest.log")
tally_of "$arch" "${tests:-not run: ctest ended before its summary}"

if [ $pages64k = yes ]; then
  echo "== $arch: the command-line table, the program on 64 KiB pages"
  (cd "$build/zebrin" && ctest --output-on-failure -R '^cli\.native-64k$') || failed=1
  # The table's cases from its report: those that don't apply to the native
  # program are skipped and not counted.
  xml=$build/zebrin/results/cli.native-64k.xml
  if [ -f "$xml" ]; then
    total=$(sed -n 's/.*<testsuites tests="\([0-9]*\)".*/\1/p' "$xml")
    bad=$(sed -n 's/.*<testsuites [^>]*failures="\([0-9]*\)"[^>]*errors="\([0-9]*\)".*/\1 + \2/p' "$xml")
    skipped=$(sed -n 's/.*<testsuite [^>]* skipped="\([0-9]*\)".*/\1/p' "$xml" | paste -sd+)
    ran=$((total - ${skipped:-0}))
    tally_of "$arch-64k" "$((ran - bad)) $ran"
  else
    tally_of "$arch-64k" "not run: the table left no report"
  fi
fi
exit $failed
