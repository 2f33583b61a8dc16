#!/usr/bin/env bash
# check-release.sh: makes the release of HEAD twice, in two clones in
# different folders, the second under another umask, time zone and git
# settings, and checks that both give the same SHA256SUMS; then checks the
# files of one of them: the list of dist/, each Debian package's control
# fields and contents and what lintian says of it, the Win32 archive and the
# source archive.
# It runs the native program of the amd64 package and nothing else: no
# package is installed, and no 32-bit program is started.
set -euo pipefail
cd "$(dirname "$0")/../.."
# File lists are compared in byte order, as release.sh writes SHA256SUMS.
export LC_ALL=C
bash scripts/ensure-packages.sh git dpkg-dev lintian unzip binutils
tmp=$(mktemp -d "${TMPDIR:-/tmp}/zebrin-release-check.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
head=$(git rev-parse HEAD)
version=$(sed -n 's/^project(zebrin VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
debversion=$(dpkg-parsechangelog -l packaging/debian/changelog -S Version)

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
debs="zebrin_${debversion}_amd64.deb zebrin_${debversion}_i386.deb"
expected=$(printf '%s\n' SHA256SUMS $debs "zebrin-$version-win32.zip" "zebrin-$version.tar.gz" \
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
-rw-r--r-- root/root ./usr/share/doc/zebrin/changelog.Debian.gz
-rw-r--r-- root/root ./usr/share/doc/zebrin/copyright
drwxr-xr-x root/root ./usr/share/lintian/
drwxr-xr-x root/root ./usr/share/lintian/overrides/
-rw-r--r-- root/root ./usr/share/lintian/overrides/zebrin
drwxr-xr-x root/root ./usr/share/man/
drwxr-xr-x root/root ./usr/share/man/man1/
-rw-r--r-- root/root ./usr/share/man/man1/zebrin.1.gz" ] || {
    echo "$listing"
    fail "$arch: unexpected contents"
  }
  # As dpkg counts it: each file in whole KiB, each folder as 1 KiB.
  size=$(awk '{ n += /^d/ ? 1 : int(($3 + 1023) / 1024) } END { print n }' <<< "$listing")
  [ "$(field Installed-Size)" = "$size" ] ||
    fail "$arch: Installed-Size is $(field Installed-Size), the contents take $size"

  root=$tmp/root-$arch
  dpkg-deb -x "$deb" "$root"
  zcat "$root/usr/share/man/man1/zebrin.1.gz" | cmp - "$src/docs/zebrin.1" ||
    fail "$arch: man page isn't docs/zebrin.1"
  zcat "$root/usr/share/doc/zebrin/changelog.Debian.gz" | cmp - "$src/packaging/debian/changelog" ||
    fail "$arch: changelog.Debian.gz isn't packaging/debian/changelog"
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
    cmp "$program" "$dist/zebrin-linux" || fail "i386: /usr/bin/zebrin isn't zebrin-linux"
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
done

echo "== lintian"
# (Overridden tags, shown, would count as failures here.)
lintian --fail-on error,warning "$dist/zebrin_${debversion}_amd64.deb" \
  "$dist/zebrin_${debversion}_i386.deb" ||
  fail "lintian reports errors or warnings"

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

echo "== zebrin-$version.tar.gz"
[ "$(tar -tzf "$dist/zebrin-$version.tar.gz" | grep -v '/$' | sort)" = \
  "$(git -C "$src" ls-files | sed "s|^|zebrin-$version/|" | sort)" ] ||
  fail "the source archive isn't the commit's files under zebrin-$version/"

echo "release check passed: the same SHA256SUMS twice, packages, archives and lintian"
