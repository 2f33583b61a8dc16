#!/usr/bin/env bash
# Makes the release of the commit checked out (HEAD) in dist/:
#   zebrin-VERSION.tar.gz            the source, git archive of HEAD
#   zebrin_VERSION-REV_amd64.deb     the native build, as a Debian package
#   zebrin_VERSION-REV_i386.deb      zebrin-linux, as a Debian package
#   zebrin-VERSION-win32.zip         zebrin-con32.exe, zebrin-posix32.exe,
#                                    README.txt, LICENSE.txt (CR LF)
#   zebrin-linux                     the i386 program itself, for other systems
#   SHA256SUMS                       the sums of all of the above
# Everything is built from that source archive in a temporary folder, never
# from uncommitted changes, and the same commit gives the same bytes in any
# folder at any time: dates come from the commit, archives list their files
# in a fixed order with fixed owners, modes and dates. Installs what it needs
# when missing.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
git rev-parse --verify -q HEAD > /dev/null || {
  echo "release.sh: needs a git clone: the release is made from its commit" >&2
  exit 1
}
bash scripts/ensure-packages.sh cmake make g++ g++-i686-linux-gnu g++-mingw-w64-i686 binutils \
  dpkg-dev libc6:i386 zip

# Nothing of the caller's environment may reach the bytes.
unset CFLAGS CXXFLAGS CPPFLAGS LDFLAGS CMAKE_GENERATOR CMAKE_TOOLCHAIN_FILE DEB_BUILD_OPTIONS
export LC_ALL=C TZ=UTC
umask 022
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct HEAD)
export SOURCE_DATE_EPOCH
version=$(sed -n 's/^project(zebrin VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
debversion=$(dpkg-parsechangelog -l packaging/debian/changelog -S Version)
case "$debversion" in
  "$version"-*) ;;
  *) echo "release.sh: packaging/debian/changelog is at $debversion, CMakeLists.txt at $version" >&2
     exit 1 ;;
esac
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  echo "release.sh: uncommitted changes are not in the release; it is made from HEAD" >&2
fi

stage=$(mktemp -d "${TMPDIR:-/tmp}/zebrin-release.XXXXXX")
trap 'rm -rf "$stage"' EXIT
out=$stage/dist
mkdir "$out"

echo "== source archive"
tarball=zebrin-$version.tar.gz
# Settings of the caller's git that would change the archive's modes or line ends.
git -c tar.umask=0022 -c core.autocrlf=false -c core.eol=lf \
  archive --format=tar --prefix="zebrin-$version/" HEAD | gzip -9n > "$out/$tarball"
tar -xzf "$out/$tarball" -C "$stage"
src=$stage/zebrin-$version

jobs=$(nproc)
for preset in release linux con32 posix32; do
  echo "== $preset build"
  (cd "$src" && cmake --preset "$preset" -DZEBRIN_TESTS=OFF > /dev/null &&
    cmake --build --preset "$preset" --parallel "$jobs" > /dev/null)
done
# The deliverables are stripped at link time; the native build is stripped
# here, as Debian's own packaging tools strip programs.
native=$stage/zebrin
strip --remove-section=.comment --remove-section=.note -o "$native" "$src/out/release/zebrin"

# make_deb ARCH PROGRAM: a package that installs PROGRAM as /usr/bin/zebrin,
# with the man page, the copyright file, the Debian changelog and the lintian
# overrides (each with its reason in packaging/debian/). Depends and
# Installed-Size are computed by dpkg-shlibdeps and dpkg-gencontrol.
make_deb() {
  local arch=$1 program=$2
  local work=$stage/deb-$arch
  local root=$work/debian/zebrin doc=$work/debian/zebrin/usr/share/doc/zebrin
  local overrides=$root/usr/share/lintian/overrides
  mkdir -p "$work/debian" "$root/usr/bin" "$root/usr/share/man/man1" "$doc" \
    "$overrides"
  cp "$src/packaging/debian/control" "$src/packaging/debian/changelog" "$work/debian/"
  install -m 0755 "$program" "$root/usr/bin/zebrin"
  gzip -9n < "$src/docs/zebrin.1" > "$root/usr/share/man/man1/zebrin.1.gz"
  gzip -9n < "$src/packaging/debian/changelog" > "$doc/changelog.Debian.gz"
  install -m 0644 "$src/packaging/debian/copyright" "$doc/copyright"
  install -m 0644 "$src/packaging/debian/lintian-overrides" "$overrides/zebrin"
  (
    cd "$work"
    export DEB_HOST_ARCH=$arch
    # Debian 12's dpkg-shlibdeps loses the binary's name before it checks
    # where the binary lies, and so warns that it lies outside its package
    # folder, where it does lie: that one warning is dropped.
    dpkg-shlibdeps -Tdebian/substvars -e debian/zebrin/usr/bin/zebrin 2>&1 |
      { grep -v "binaries to analyze should already be installed" || true; } >&2
    # Installed-Size counts what is in the folder: the control files come after.
    dpkg-gencontrol -pzebrin -Pdebian/zebrin -Tdebian/substvars -fdebian/files -Odebian/control.out
  )
  mkdir "$root/DEBIAN"
  mv "$work/debian/control.out" "$root/DEBIAN/control"
  (cd "$root" && find usr -type f | sort | xargs md5sum > DEBIAN/md5sums)
  chmod 0644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"
  find "$root" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
  # One compressor thread: the xz stream of several threads may differ.
  dpkg-deb --root-owner-group -Zxz --threads-max=1 --build "$root" \
    "$out/zebrin_${debversion}_$arch.deb" > /dev/null
}
echo "== Debian packages"
make_deb amd64 "$native"
make_deb i386 "$src/out/linux/zebrin-linux"

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

install -m 0755 "$src/out/linux/zebrin-linux" "$out/zebrin-linux"
(cd "$out" && sha256sum -- * > SHA256SUMS)

rm -rf "$top/dist"
cp -r "$out" "$top/dist"
echo "== dist/"
(cd "$top/dist" && ls -l && cat SHA256SUMS)
