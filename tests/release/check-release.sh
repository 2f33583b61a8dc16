#!/usr/bin/env bash
# check-release.sh: makes the release of HEAD twice, in two clones in
# different folders, the second under another umask, time zone and git
# settings, and checks that both give the same SHA256SUMS; then checks the
# files of one of them: the list of dist/, each Debian package's control
# fields and contents, the hardening of the ELF programs, the debug symbols,
# what lintian says of every package, the Win32 archive and the source
# package. Then it builds the source package alone in a bare Debian 12 as a
# build machine does (tests/release/bare-debian.sh), checks that the amd64
# packages come out byte for byte as in dist/ and that blhc finds every
# compiler flag in place, and runs the packages' autopkgtest there; where this
# machine runs i386 programs, it builds and tests the source package in a
# bare i386 Debian 12 too. Before those, it cross-builds the commit for
# Debian's other architectures, arm64, armhf, ppc64el and s390x, and runs
# each one's whole test suite under qemu-user (tests/release/cross-arch.sh).
# On this machine it runs the native program of the amd64 package, and the
# other architectures' programs under qemu-user, and nothing else: no package
# is installed here but the check's tools, the cross compilers and qemu-user,
# and no i386 program is started but in the bare i386 system.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/lib/i386.sh
# The tallies for the test script's closing table, when it asks for them:
# tally_of NAME "PASSED TOTAL" or "not run: why".
tally_of() {
  [ -z "${ZEBRIN_RESULTS:-}" ] || echo "${*:2}" > "$ZEBRIN_RESULTS/release.$1"
}
tally() { tally_of check "$@"; }
cross_arches="arm64 armhf ppc64el s390x"
fail() {
  echo "FAIL: $*" >&2
  tally 0 1
  exit 1
}
# An unpacked source archive has no commit to release (a folder inside some
# other clone doesn't either).
if [ "$(git rev-parse --show-toplevel 2> /dev/null)" != "$PWD" ]; then
  echo "release check not run: this tree is not a git clone, and a release is made from a commit"
  tally not run: not a git clone, a release is made from a commit
  for arch in $cross_arches; do
    tally_of "$arch" not run: not a git clone
    tally_of "$arch-64k" not run: not a git clone
  done
  exit 0
fi
# File lists are compared in byte order, as release.sh writes SHA256SUMS.
export LC_ALL=C
bash scripts/ensure-packages.sh git dpkg-dev lintian unzip binutils devscripts blhc
tmp=$(mktemp -d "${TMPDIR:-/tmp}/zebrin-release-check.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
head=$(git rev-parse HEAD)
version=$(sed -n 's/^project(zebrin VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
debversion=$(dpkg-parsechangelog -l debian/changelog -S Version)

# release_in FOLDER [NAME=VALUE...]: a clone of HEAD there, and its release,
# made with those settings in its environment.
release_in() {
  git clone -q --no-checkout "$PWD" "$1"
  git -C "$1" checkout -q --detach "$head"
  env "${@:2}" bash "$1/scripts/release.sh" > "$1.log" 2>&1 || {
    cat "$1.log"
    fail "release.sh failed in $1"
  }
}
echo "== release of $head, twice"
release_in "$tmp/a"
# Another folder, umask, time zone, and git settings that would change what
# git archive writes.
(umask 0002 && release_in "$tmp/another/folder/zebrin" TZ=Pacific/Kiritimati \
  GIT_CONFIG_COUNT=2 GIT_CONFIG_KEY_0=tar.umask GIT_CONFIG_VALUE_0=user \
  GIT_CONFIG_KEY_1=core.autocrlf GIT_CONFIG_VALUE_1=true)
echo "-- $tmp/a/dist/SHA256SUMS"
cat "$tmp/a/dist/SHA256SUMS"
echo "-- $tmp/another/folder/zebrin/dist/SHA256SUMS"
cat "$tmp/another/folder/zebrin/dist/SHA256SUMS"
cmp "$tmp/a/dist/SHA256SUMS" "$tmp/another/folder/zebrin/dist/SHA256SUMS" ||
  fail "two releases of the same commit differ"
src=$tmp/a
dist=$src/dist

echo "== dist/"
source_package="zebrin_$version.orig.tar.gz zebrin_$debversion.dsc zebrin_$debversion.debian.tar.xz"
debs=$(printf 'zebrin%s_%s_%s.deb\n' "" "$debversion" amd64 "" "$debversion" i386 \
  -dbgsym "$debversion" amd64 -dbgsym "$debversion" i386)
expected=$(printf '%s\n' SHA256SUMS $source_package $debs "zebrin-$version-win32.zip" \
  zebrin-linux | sort)
[ "$(ls "$dist")" = "$expected" ] || fail "dist/ holds $(ls "$dist" | tr '\n' ' ')"
[ "$(cut -c67- "$dist/SHA256SUMS")" = "$(grep -vx SHA256SUMS <<< "$expected")" ] ||
  fail "SHA256SUMS doesn't list every other file of dist/"
(cd "$dist" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS doesn't match"

# The packaged program's output on the two example files, followed by the
# summary's empty line.
golden='Comparing files greeting-1.txt and greeting-2.txt
00000007: 77 57
00000029: 62 66
0000002A: 79 6F
0000002B: 20 72
0000002C: 62 20
0000002D: 79 62
0000002E: 74 79
0000002F: 65 74
00000030: 2E 65
00000031: 0A 2E
 10 (0xA) differences encountered
'

for arch in amd64 i386; do
  deb=$dist/zebrin_${debversion}_$arch.deb
  echo "== $(basename "$deb")"
  field() { dpkg-deb -f "$deb" "$1"; }
  [ "$(field Package)" = zebrin ] || fail "$arch: Package is $(field Package)"
  [ "$(field Version)" = "$debversion" ] || fail "$arch: Version is $(field Version)"
  [ "$(field Architecture)" = "$arch" ] || fail "$arch: Architecture is $(field Architecture)"
  grep -Eqx 'libc6 \(>= [0-9.]+\)' <<< "$(field Depends)" ||
    fail "$arch: Depends is '$(field Depends)', expected libc6 alone"
  listing=$(dpkg-deb -c "$deb")
  # Modes, owners and paths, in the order dpkg-deb stored them.
  [ "$(awk '{ print $1, $2, $6 }' <<< "$listing")" = "\
drwxr-xr-x root/root ./
drwxr-xr-x root/root ./usr/
drwxr-xr-x root/root ./usr/bin/
-rwxr-xr-x root/root ./usr/bin/zebrin
drwxr-xr-x root/root ./usr/share/
drwxr-xr-x root/root ./usr/share/doc/
drwxr-xr-x root/root ./usr/share/doc/zebrin/
-rw-r--r-- root/root ./usr/share/doc/zebrin/README.md
-rw-r--r-- root/root ./usr/share/doc/zebrin/changelog.Debian.gz
-rw-r--r-- root/root ./usr/share/doc/zebrin/copyright
drwxr-xr-x root/root ./usr/share/doc/zebrin/docs/
$(cd "$src/docs" && ls *.md | sed 's|^|-rw-r--r-- root/root ./usr/share/doc/zebrin/docs/|')
drwxr-xr-x root/root ./usr/share/lintian/
drwxr-xr-x root/root ./usr/share/lintian/overrides/
-rw-r--r-- root/root ./usr/share/lintian/overrides/zebrin
drwxr-xr-x root/root ./usr/share/man/
drwxr-xr-x root/root ./usr/share/man/man1/
-rw-r--r-- root/root ./usr/share/man/man1/zebrin.1.gz" ] || {
    echo "$listing"
    fail "$arch: unexpected contents"
  }
  # As dpkg counts it: each file in whole KiB, each folder as 1 KiB, and, as
  # for every package debhelper builds, the control folder DEBIAN/ as one.
  size=$(awk '{ n += /^d/ ? 1 : int(($3 + 1023) / 1024) } END { print n + 1 }' <<< "$listing")
  [ "$(field Installed-Size)" = "$size" ] ||
    fail "$arch: Installed-Size is $(field Installed-Size), the contents take $size"

  root=$tmp/root-$arch
  dpkg-deb -x "$deb" "$root"
  zcat "$root/usr/share/man/man1/zebrin.1.gz" | cmp - "$src/docs/zebrin.1" ||
    fail "$arch: man page isn't docs/zebrin.1"
  zcat "$root/usr/share/doc/zebrin/changelog.Debian.gz" | cmp - "$src/debian/changelog" ||
    fail "$arch: changelog.Debian.gz isn't debian/changelog"
  # Uncompressed, so that the pages' links to one another hold.
  for page in $(cd "$src" && ls README.md docs/*.md); do
    cmp "$root/usr/share/doc/zebrin/$page" "$src/$page" || fail "$arch: $page isn't the source's"
  done
  copyright=$root/usr/share/doc/zebrin/copyright
  grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
    "$copyright" || fail "$arch: copyright file isn't machine-readable"
  # The licence paragraph is the last; its text is indented, "." for an empty line.
  tac "$copyright" | sed '/^License: Expat$/q' | tac | tail -n +2 | sed -e 's/^ //' -e 's/^\.$//' |
    cmp - <(tail -n +5 "$src/LICENSE") || fail "$arch: copyright file doesn't carry LICENSE"

  program=$root/usr/bin/zebrin
  header=$(readelf -h "$program")
  if [ "$arch" = i386 ]; then
    grep -Eq 'Class: +ELF32' <<< "$header" && grep -Eq 'Machine: +Intel 80386' <<< "$header" ||
      fail "i386: /usr/bin/zebrin isn't an i386 program"
  else
    grep -Eq 'Class: +ELF64' <<< "$header" && grep -Eq 'Machine: +Advanced Micro Devices X86-64' \
      <<< "$header" || fail "amd64: /usr/bin/zebrin isn't an x86-64 program"
    status=0
    (cd "$src/examples" && "$program" greeting-1.txt greeting-2.txt > "$tmp/got") || status=$?
    [ "$status" -eq 9 ] || fail "amd64: zebrin on the examples ended with $status, expected 9"
    printf '%s\n' "$golden" | cmp - "$tmp/got" || {
      cat "$tmp/got"
      fail "amd64: zebrin's output on the examples isn't the expected one"
    }
  fi
  # Debian 12's C library start files lack the CET note, so the linker drops
  # it and the control-flow line says no: that one isn't asked for.
  hardening-check --nocfprotection "$program" ||
    fail "$arch: /usr/bin/zebrin isn't hardened"

  # The debug symbols: the file the program's build ID names, and no program.
  deb=$dist/zebrin-dbgsym_${debversion}_$arch.deb
  [ "$(field Depends)" = "zebrin (= $debversion)" ] ||
    fail "$arch: zebrin-dbgsym depends on '$(field Depends)'"
  id=$(readelf -n "$program" | sed -n 's/.*Build ID: //p')
  debug=./usr/lib/debug/.build-id/${id:0:2}/${id:2}.debug
  [ "$(dpkg-deb -c "$deb" | awk '$1 ~ /^-/ { print $6 }')" = "$debug" ] ||
    fail "$arch: zebrin-dbgsym doesn't hold just $debug"
  dpkg-deb -x "$deb" "$root"
  grep -q '\.debug_info' <<< "$(objdump -h "$root/$debug")" ||
    fail "$arch: $debug has no debug information"
done

echo "== zebrin-linux"
header=$(readelf -h "$dist/zebrin-linux")
grep -Eq 'Class: +ELF32' <<< "$header" && grep -Eq 'Machine: +Intel 80386' <<< "$header" ||
  fail "zebrin-linux isn't an i386 program"
needed=$(readelf -d "$dist/zebrin-linux" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
[ "$needed" = libc.so.6 ] || fail "zebrin-linux needs $(echo $needed), not just libc.so.6"
hardening-check --nocfprotection "$dist/zebrin-linux" || fail "zebrin-linux isn't hardened"

echo "== lintian"
# Every tag down to pedantic and experimental fails, unless overridden in
# debian/ with its reason. (lintian leaves files of its own in TMPDIR.)
(cd "$dist" && TMPDIR=$tmp lintian --pedantic -I -E --display-experimental \
  --fail-on error,warning,info,pedantic,experimental "zebrin_$debversion.dsc" $debs) ||
  fail "lintian reports tags that aren't overridden"

echo "== zebrin-$version-win32.zip"
zip=$dist/zebrin-$version-win32.zip
[ "$(unzip -Z1 "$zip")" = "$(printf '%s\n' zebrin-con32.exe zebrin-posix32.exe README.txt LICENSE.txt)" ] ||
  fail "the archive holds $(unzip -Z1 "$zip" | tr '\n' ' ')"
for text in README.txt LICENSE.txt; do
  unzip -p "$zip" "$text" > "$tmp/$text"
  ! grep -qv $'\r$' "$tmp/$text" || fail "$text: not every line ends in CR LF"
done
tr -d '\r' < "$tmp/LICENSE.txt" | cmp - "$src/LICENSE" || fail "LICENSE.txt isn't LICENSE"
tr -d '\r' < "$tmp/README.txt" | cmp - "$src/packaging/win32/README.txt" ||
  fail "README.txt isn't packaging/win32/README.txt"
for exe in zebrin-con32.exe zebrin-posix32.exe; do
  unzip -p "$zip" "$exe" > "$tmp/$exe"
  objdump -f "$tmp/$exe" | grep -q 'file format pei-i386' || fail "$exe isn't a PE for i386"
done

echo "== source package"
[ "$(tar -tzf "$dist/zebrin_$version.orig.tar.gz" | grep -v '/$' | sort)" = \
  "$(git -C "$src" ls-files ':(exclude)debian' | sed "s|^|zebrin-$version/|" | sort)" ] ||
  fail "the source archive isn't the commit's files but debian/, under zebrin-$version/"
# Unpacked, the source package is the commit.
(cd "$tmp" && dpkg-source -x "$dist/zebrin_$debversion.dsc" unpacked > /dev/null 2>&1 &&
  git -C "$src" archive --prefix=commit/ HEAD | tar -x) || fail "the source package doesn't unpack"
# (.pc/ is quilt's record of the patches applied: none.)
diff -r -x .pc "$tmp/commit" "$tmp/unpacked" > /dev/null ||
  fail "the source package doesn't unpack to the commit's files"

# Debian builds the package for these too, on machines of their own: the
# commit cross-built for each, and its tests run here under emulation. A
# failure is reported at the end, after the bare builds.
cross_failed=""
for arch in $cross_arches; do
  bash tests/release/cross-arch.sh "$arch" "$src" "$tmp/cross-$arch" || cross_failed+=" $arch"
done

# A build machine's build: the .dsc alone, in a system that has nothing else.
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "== the source package built alone in a bare Debian 12 (amd64), and its autopkgtest"
bare=$tmp/bare-amd64
autopkgtest=0
$sudo bash tests/release/bare-debian.sh amd64 "$dist/zebrin_$debversion.dsc" "$bare" ||
  autopkgtest=$?
[ -f "$bare/zebrin_${debversion}_amd64.deb" ] || fail "the bare build from the .dsc failed"
same=0
for deb in "zebrin_${debversion}_amd64.deb" "zebrin-dbgsym_${debversion}_amd64.deb"; do
  if cmp "$bare/$deb" "$dist/$deb"; then
    same=$((same + 1))
  else
    diff <(dpkg-deb -I "$bare/$deb"; dpkg-deb -c "$bare/$deb") \
      <(dpkg-deb -I "$dist/$deb"; dpkg-deb -c "$dist/$deb") || true
  fi
done
tally_of rebuild $same 2
# autopkgtest_tally NAME OUT: the tally of the autopkgtest run in OUT, from
# its summary's lines, one for each test: NAME PASS, FAIL, SKIP...
autopkgtest_tally() {
  local summary=$2/autopkgtest/summary
  if [ -f "$summary" ]; then
    tally_of "$1" "$(grep -c ' PASS' "$summary") $(grep -c . "$summary")"
  else
    tally_of "$1" "not run: it left no summary; the build failed, or autopkgtest did not start"
  fi
}
autopkgtest_tally autopkgtest "$bare"
# (Both builds take their tools from the same mirror: this machine's must be
# up to date with it.)
[ $same -eq 2 ] || fail "the packages rebuilt from the .dsc aren't the bytes of dist/"
[ $autopkgtest -eq 0 ] || fail "the autopkgtest failed (status $autopkgtest)"
# blhc reads the build's compiler lines and names any that lacks dpkg's flags.
blhc --all --debian "$bare/build.log" || fail "blhc: flags missing from the build (above)"

if zebrin_runs_i386; then
  echo "== the source package built alone in a bare i386 Debian 12, with its tests, and its autopkgtest"
  bare=$tmp/bare-i386
  status=0
  $sudo bash tests/release/bare-debian.sh i386 "$dist/zebrin_$debversion.dsc" "$bare" || status=$?
  # ctest's last words in the build: "100% tests passed, 0 tests failed out of N".
  tests=$(sed -n 's/.* tests passed, \([0-9]*\) tests failed out of \([0-9]*\)$/\1 \2/p' \
    "$bare/build.log" 2> /dev/null | awk '{ print $2 - $1, $2 }' || true)
  tally_of i386 "${tests:-not run: the build stopped before them}"
  autopkgtest_tally i386-autopkgtest "$bare"
  [ $status -eq 0 ] || fail "the i386 build or its autopkgtest failed"
else
  why="this machine can't run i386 programs"
  [ "${ZEBRIN_FORCE_NO_32BIT:-0}" != 1 ] || why="ZEBRIN_FORCE_NO_32BIT=1"
  tally_of i386 "not run: $why"
  tally_of i386-autopkgtest "not run: $why"
fi

[ -z "$cross_failed" ] || fail "the build or the tests under emulation failed for:$cross_failed"
tally 1 1
echo "release check passed: the same SHA256SUMS twice, packages, hardening, debug symbols, archives, lintian, the builds and tests for $cross_arches, the rebuild from the .dsc, blhc and the autopkgtest"
