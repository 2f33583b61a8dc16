#!/usr/bin/env bash
# ensure-packages.sh PACKAGE... : installs the Debian packages that are missing.
# Run as root (or with sudo on the path); does nothing when all are there.
set -euo pipefail
# installed PACKAGE: PACKAGE (this machine's architecture, or all, unless the
# name says which) is installed. A package installed for two architectures
# answers once for each.
installed() {
  case "$1" in
    *:*) dpkg-query -W -f='${db:Status-Status}\n' "$1" 2> /dev/null | grep -qx installed ;;
    *) dpkg-query -W -f='${db:Status-Status} ${Architecture}\n' "$1" 2> /dev/null |
      grep -Eqx "installed ($(dpkg --print-architecture)|all)" ;;
  esac
}
missing=()
for p in "$@"; do
  installed "$p" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "installing: ${missing[*]}"
for p in "${missing[@]}"; do
  # Packages of another architecture need that architecture enabled first.
  case "$p" in
    *:i386) dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386 ;;
  esac
done
# Another install (a second script, the machine's own updates) may hold the
# package lock: wait for it rather than fail.
wait_lock=(-o DPkg::Lock::Timeout=600)
# A mirror caught in the middle of a sync serves index files that don't match
# its Release file. That usually passes within a minute, so the update is
# tried again; if it still fails, apt installs from the lists it could get.
updated=no
for wait in 10 20 ""; do
  $sudo apt-get "${wait_lock[@]}" update -q > /dev/null && updated=yes && break
  if [ -z "$wait" ]; then
    echo "apt-get update failed three times: installing from the lists it got"
  else
    echo "apt-get update failed: trying again in $wait s"
    sleep "$wait"
  fi
done
install() {
  DEBIAN_FRONTEND=noninteractive $sudo apt-get "${wait_lock[@]}" install -y -q \
    --no-install-recommends "$@" "${missing[@]}" > /dev/null
}
[ "$updated" = yes ] && { install; exit; }
# The list that fails is typically one suite's index for one architecture
# (seen: bookworm-security's i386). apt then picks amd64 libraries
# from that suite, finds no i386 twin at the same version, and refuses to
# install any i386 package beside them. The release's own suite has every
# architecture's lists, so the install is tried once more, preferring it.
install 2> /dev/null || {
  suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
  echo "installing from the lists it got failed: trying again, preferring $suite"
  install -t "$suite"
}
