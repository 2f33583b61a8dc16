#!/usr/bin/env bash
# Makes the release of the commit checked out (HEAD) in dist/:
#   zebrin_VERSION.orig.tar.gz       the source, git archive of HEAD without debian/
#   zebrin_VERSION-REV.dsc           the Debian source package: the above and
#   zebrin_VERSION-REV.debian.tar.xz   the commit's debian/
#   zebrin_VERSION-REV_amd64.deb     the native build, as a Debian package
#   zebrin_VERSION-REV_i386.deb      the same for i386, built the same way
#   zebrin-dbgsym_VERSION-REV_*.deb  the debug symbols of both
#   zebrin-VERSION-win32.zip         zebrin-con32.exe, zebrin-posix32.exe,
#                                    README.txt, LICENSE.txt (CR LF)
#   zebrin-linux                     the stand-alone i386 program (linux preset),
#                                    stripped, for systems without dpkg
#   SHA256SUMS                       the sums of all of the above
# The packages are built from that source package by dpkg-buildpackage, i386
# by cross-building; the .buildinfo and .changes files, which describe the
# build machine, are left out. Everything is built in a temporary folder,
# never from uncommitted changes, and the same commit gives the same bytes in
# any folder at any time: dates come from debian/changelog, as they do when
# anyone rebuilds the packages from the source package alone; archives list
# their files in a fixed order with fixed owners, modes and dates; compressors
# run one thread. Installs what it needs when missing.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
git rev-parse --verify -q HEAD > /dev/null || {
  echo "release.sh: needs a git clone: the release is made from its commit" >&2
  exit 1
}
bash scripts/ensure-packages.sh cmake make g++ g++-i686-linux-gnu g++-mingw-w64-i686 binutils \
  dpkg-dev build-essential debhelper libgtest-dev libgmock-dev libc6:i386 zip

# Nothing of the caller's environment may reach the bytes.
unset CFLAGS CXXFLAGS CPPFLAGS LDFLAGS CMAKE_GENERATOR CMAKE_TOOLCHAIN_FILE DEB_BUILD_OPTIONS \
  DEB_BUILD_PROFILES DEB_BUILD_MAINT_OPTIONS
export LC_ALL=C TZ=UTC DPKG_DEB_THREADS_MAX=1
umask 022
version=$(sed -n 's/^project(zebrin VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
debversion=$(dpkg-parsechangelog -l debian/changelog -S Version)
case "$debversion" in
  "$version"-*) ;;
  *) echo "release.sh: debian/changelog is at $debversion, CMakeLists.txt at $version" >&2
     exit 1 ;;
esac
# The date dpkg-buildpackage gives a build of the source package by itself.
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l debian/changelog -S Timestamp)
export SOURCE_DATE_EPOCH
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  echo "release.sh: uncommitted changes are not in the release; it is made from HEAD" >&2
fi

stage=$(mktemp -d "${TMPDIR:-/tmp}/zebrin-release.XXXXXX")
trap 'rm -rf "$stage"' EXIT
out=$stage/dist
mkdir "$out"

echo "== source package"
orig=zebrin_$version.orig.tar.gz
# Settings of the caller's git that would change the archive's modes or line ends.
archive() {
  git -c tar.umask=0022 -c core.autocrlf=false -c core.eol=lf \
    archive --format=tar --prefix="zebrin-$version/" HEAD -- "$@"
}
# The packaging comes beside the upstream source, as Debian keeps them.
archive . ':(exclude)debian' | gzip -9n > "$stage/$orig"
tar -xzf "$stage/$orig" -C "$stage"
archive debian | tar -x -C "$stage"
src=$stage/zebrin-$version
(cd "$stage" && dpkg-source --threads-max=1 -b "zebrin-$version" > /dev/null)
dsc=$stage/zebrin_$debversion.dsc

# build_debs ARCH DPKG-BUILDPACKAGE-OPTION...: the binary packages of ARCH,
# built from the source package in a folder of their own.
build_debs() {
  local arch=$1
  echo "== Debian packages, $arch"
  mkdir "$stage/build-$arch"
  (cd "$stage/build-$arch" && dpkg-source -x "$dsc" zebrin > /dev/null)
  (cd "$stage/build-$arch/zebrin" && dpkg-buildpackage -us -uc "${@:2}" > ../build.log 2>&1) || {
    cat "$stage/build-$arch/build.log" >&2
    exit 1
  }
  cp "$stage/build-$arch"/*.deb "$out/"
}
build_debs amd64 -b
# Built as on every architecture, but cross-built, so its tests can't run here.
DEB_BUILD_OPTIONS=nocheck build_debs i386 -B -a i386 -Pnocheck

for preset in linux con32 posix32; do
  echo "== $preset build"
  (cd "$src" && cmake --preset "$preset" -DZEBRIN_TESTS=OFF > /dev/null &&
    cmake --build --preset "$preset" --parallel "$(nproc)" > /dev/null)
done

echo "== Win32 archive"
zip_dir=$stage/win32
mkdir "$zip_dir"
cp "$src/out/con32/zebrin-con32.exe" "$src/out/posix32/zebrin-posix32.exe" "$zip_dir/"
sed 's/$/\r/' "$src/packaging/win32/README.txt" > "$zip_dir/README.txt"
sed 's/$/\r/' "$src/LICENSE" > "$zip_dir/LICENSE.txt"
chmod 0644 "$zip_dir"/*
touch -d "@$SOURCE_DATE_EPOCH" "$zip_dir"/*
# -X: no extra fields (owner ids, extra times); -D: no folder entries. The
# order is the order of the names here; the dates are DOS dates in UTC.
(cd "$zip_dir" && zip -X -D -9 -q "$out/zebrin-$version-win32.zip" \
  zebrin-con32.exe zebrin-posix32.exe README.txt LICENSE.txt)

# Stripped as the packages' programs are; its build carries no debug information.
i686-linux-gnu-strip --remove-section=.comment --strip-unneeded -o "$out/zebrin-linux" \
  "$src/out/linux/zebrin-linux"
chmod 0755 "$out/zebrin-linux"
cp "$stage/$orig" "$dsc" "$stage/zebrin_$debversion.debian.tar.xz" "$out/"
(cd "$out" && sha256sum -- * > SHA256SUMS)

rm -rf "$top/dist"
cp -r "$out" "$top/dist"
echo "== dist/"
(cd "$top/dist" && ls -l && cat SHA256SUMS)
