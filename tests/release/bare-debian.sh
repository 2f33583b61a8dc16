#!/usr/bin/env bash
# bare-debian.sh ARCH DSC OUT: builds the source package DSC as a Debian build
# machine does, in a bare Debian 12 for ARCH (Essential, apt, build-essential
# and the .dsc's build dependencies, nothing else), as a user other than root,
# with the tests; then installs the packages there and runs their autopkgtest.
# OUT receives the .deb files, build.log, and autopkgtest/ (its log and
# summary). Needs root, and apt's access to this machine's Debian mirror.
#
# The bare system with the build dependencies is made once with mmdebstrap
# and kept as a tarball in ZEBRIN_CHROOT_CACHE (default: $TMPDIR, or /tmp),
# named by ARCH and a hash of the build dependencies and this machine's
# toolchain; each build unpacks a fresh copy, which is removed afterwards.
set -euo pipefail
arch=$1 dsc=$(realpath "$2") out=$3
mkdir -p "$out"
out=$(realpath "$out")
# (mmdebstrap asks arch-test whether an architecture other than this machine's
# runs here before it makes a system for it.)
bash "$(dirname "$0")/../../scripts/ensure-packages.sh" mmdebstrap arch-test dpkg-dev devscripts mount

# This machine's own Debian mirror: the one apt reaches.
mirror=$(awk '/^URIs:/ { print $2; exit }' /etc/apt/sources.list.d/debian.sources 2> /dev/null || true)
[ -n "$mirror" ] || mirror=$(awk '/^deb / { print $2; exit }' /etc/apt/sources.list)
builddeps=$(sed -n '/^Build-Depends:/,/^[^ ]/p' "$dsc" | sed '$d')
# A rebuild gives the same bytes only with the same tools: the system is made
# again when this machine's toolchain changes (its newer versions come from
# the same mirror).
tools=$(dpkg-query -W binutils cmake debhelper dpkg-dev g++ libc6-dev libstdc++6 2> /dev/null || true)
key=$(printf '%s\n' "$arch" "$mirror" "$builddeps" "$tools" | sha256sum | cut -c1-16)
cache=${ZEBRIN_CHROOT_CACHE:-${TMPDIR:-/tmp}}
tarball=$cache/zebrin-bookworm-$arch-$key.tar
if [ ! -f "$tarball" ]; then
  echo "making a bare Debian 12 for $arch with the build dependencies: $tarball"
  mkdir -p "$cache"
  mmdebstrap --quiet --variant=buildd --architectures="$arch" --format=tar \
    --customize-hook="copy-in $dsc /tmp" \
    --customize-hook="chroot \"\$1\" apt-get build-dep -y -q /tmp/$(basename "$dsc")" \
    --customize-hook="rm \"\$1/tmp/$(basename "$dsc")\"" \
    bookworm "$tarball.part" "$mirror" > "$out/mmdebstrap.log" 2>&1 || {
    cat "$out/mmdebstrap.log"
    echo "mmdebstrap failed" >&2
    exit 1
  }
  mv "$tarball.part" "$tarball"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/zebrin-bare-debian.XXXXXX")
# The folder is removed without crossing into anything mounted in it.
trap 'unmount_all; rm -rf --one-file-system "$work"' EXIT
unmount_all() { :; }
root=$work/root
mkdir "$root"
tar -xf "$tarball" -C "$root"
cp /etc/resolv.conf "$root/etc/resolv.conf"
# The builder's account, as a build machine's: the build doesn't run as root.
echo 'builder:x:1000:1000::/build:/bin/sh' >> "$root/etc/passwd"
echo 'builder:x:1000:' >> "$root/etc/group"
echo 'builder:*:20000:0:99999:7:::' >> "$root/etc/shadow"
mkdir "$root/build"
dcmd cp "$dsc" "$root/build/"
chown -R 1000:1000 "$root/build"

# in_root COMMAND...: COMMAND in the bare system, with /proc and /dev mounted in
# a mount namespace of its own, so that the mounts end with it. Where the
# root has no mount of its own to make private (this script run in a chroot),
# they are mounted once in the bare system and unmounted when it is removed.
if unshare --mount --propagation private true 2> /dev/null; then
  in_root() {
    unshare --mount --propagation private -- sh -c \
      'mount -t proc proc "$0/proc" && mount --rbind /dev "$0/dev" && exec chroot "$0" "$@"' \
      "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LC_ALL=C.UTF-8 "$@"
  }
else
  unmount_all() {
    for m in dev/pts dev proc; do
      ! mountpoint -q "$root/$m" || umount "$root/$m" || umount -l "$root/$m"
    done
  }
  mount -t proc proc "$root/proc"
  mount --bind /dev "$root/dev"
  mount --bind /dev/pts "$root/dev/pts"
  in_root() {
    chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LC_ALL=C.UTF-8 "$@"
  }
fi
name=$(basename "$dsc")
echo "building $name for $arch in a bare Debian 12"
status=0
in_root setpriv --reuid=1000 --regid=1000 --init-groups env HOME=/build sh -c \
  "cd /build && dpkg-source -x $name src > /dev/null && cd src && dpkg-buildpackage -us -uc -b" \
  > "$out/build.log" 2>&1 || status=$?
cp "$root"/build/*.deb "$out/" 2> /dev/null || true
if [ $status -ne 0 ]; then
  tail -n 50 "$out/build.log"
  echo "the build from $name failed (status $status); the whole log: $out/build.log" >&2
  exit 1
fi

echo "autopkgtest of the packages built, in the same system"
status=0
# (mmdebstrap leaves no package lists behind.)
in_root sh -c "apt-get update -q > /dev/null &&
  apt-get install -y -q --no-install-recommends autopkgtest > /dev/null &&
  autopkgtest --user=builder --output-dir=/build/autopkgtest \
    /build/zebrin_*_$arch.deb /build/$name -- null" > "$out/autopkgtest.log" 2>&1 || status=$?
cp -r "$root/build/autopkgtest" "$out/" 2> /dev/null || true
cat "$out/autopkgtest/summary" 2> /dev/null || tail -n 30 "$out/autopkgtest.log"
exit $status
