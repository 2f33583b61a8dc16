#!/usr/bin/env bash
# smoke-pe32.sh REFERENCE CON32 POSIX32: starts the shipped PE32 files on a
# machine whose kernel refuses i386 programs. Wine's 32-bit loader then runs
# under qemu-i386, registered for i386 programs in a private user namespace
# with its own binfmt_misc, so nothing changes for the rest of the machine.
# That costs minutes per process, so each program gets three cases in one cmd
# line: the usage text (127), a pair with differences (9, CR LF from con32,
# LF from posix32) and a bad number (cmd sees -1 from con32, 255 from
# posix32). REFERENCE (the native build) gives the expected texts.
#
# All of it runs under a time limit (ZEBRIN_SMOKE_LIMIT seconds, default
# 1500); cases that didn't finish are reported as not run, never as passed.
# Writes "passed total" or "not run: why" to $ZEBRIN_RESULTS/<name>.smoke.
# Fails only when a case ran and went wrong.
set -euo pipefail

if [ "${1:-}" = --inside ]; then
  # In the namespace: i386 programs go to qemu-i386 from here on.
  dir=$2
  mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
  printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:F' \
    > /proc/sys/fs/binfmt_misc/register
  # (TMPDIR: Wine leaves its server's folder there, and this one is removed.)
  export WINEPREFIX=$dir/prefix TMPDIR=$dir WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  trap 'wineserver -k > /dev/null 2>&1 || true' EXIT
  echo "$(date -u +%T) making a Wine prefix with its 32-bit part"
  /usr/lib/wine/wine64 wineboot --init > /dev/null 2>&1 < /dev/null
  for name in con32 posix32; do
    (
      cd "$dir/$name"
      /usr/lib/wine/wine64 cmd /v:on /c "prog.exe -h > usage.out & echo !ERRORLEVEL! & prog.exe a c > diff.out & echo !ERRORLEVEL! & prog.exe -n12k a b > nul & echo !ERRORLEVEL!" \
        < /dev/null 2> /dev/null | tr -d '\r' > codes || true
      echo "$(date -u +%T) $name done"
    ) &
  done
  wait
  exit 0
fi

reference=$(realpath "$1") con32=$(realpath "$2") posix32=$(realpath "$3")
cd "$(dirname "$0")/../.."
limit=${ZEBRIN_SMOKE_LIMIT:-1500}
dir=$(mktemp -d "${TMPDIR:-/tmp}/zebrin-smoke.XXXXXX")
trap 'rm -rf "$dir"' EXIT

root=$PWD
release_date() { sed -n 's/^set(ZEBRIN_RELEASE_DATE "\(.*\)")$/\1/p' "$root/build/targets/$1.cmake"; }
crlf() { sed -z 's/\n/\r\n/g'; }

for name in con32 posix32; do
  mkdir "$dir/$name"
  cd "$dir/$name"
  if [ $name = con32 ]; then cp "$con32" prog.exe; else cp "$posix32" prog.exe; fi
  printf 'same' > a
  printf 'same' > b
  printf 'diff' > c
  "$reference" -h | sed "s/$(release_date native)/$(release_date $name)/" > usage.want || true
  "$reference" a c > diff.want || true
  if [ $name = con32 ]; then
    for f in usage.want diff.want; do crlf < $f > $f.tmp && mv $f.tmp $f; done
  fi
  cd - > /dev/null
done

echo "smoke run of the shipped PE32 files (limit $limit s)"
status=0
timeout "$limit" unshare --user --map-root-user --mount --pid --fork --kill-child --mount-proc \
  bash "$0" --inside "$dir" 2> "$dir/inside.err" || status=$?
case $status in
  0) why="" ;;
  124) why="timed out after $limit s" ;;
  # A chroot, for one, may not make a user namespace.
  *) why="status $status: $(tail -n 1 "$dir/inside.err")" ;;
esac

failed=0
for name in con32 posix32; do
  cd "$dir/$name"
  if [ $name = con32 ]; then bad=-1; else bad=255; fi
  if [ "$(wc -l < codes 2> /dev/null || echo 0)" -ne 3 ]; then
    echo "NOT RUN zebrin-$name.exe: ${why:-no exit codes came back}"
    [ -z "${ZEBRIN_RESULTS:-}" ] || echo "not run: ${why:-no exit codes came back}" \
      > "$ZEBRIN_RESULTS/$name.smoke"
    cd - > /dev/null
    continue
  fi
  passed=0
  check() {
    if [ "$2" = "$3" ] && { [ -z "${4:-}" ] || cmp -s "$4.out" "$4.want"; }; then
      echo "ok   zebrin-$name.exe $1: exit code $2"
      passed=$((passed + 1))
    else
      echo "FAIL zebrin-$name.exe $1: exit code $2 (expected $3)${4:+, output differs from $4.want}"
      failed=1
    fi
  }
  { read -r usage && read -r diff && read -r number; } < codes
  check "-h" "$usage" 127 usage
  check "a c" "$diff" 9 diff
  check "-n12k a b" "$number" "$bad"
  [ -z "${ZEBRIN_RESULTS:-}" ] || echo "$passed 3" > "$ZEBRIN_RESULTS/$name.smoke"
  cd - > /dev/null
done
exit $failed
