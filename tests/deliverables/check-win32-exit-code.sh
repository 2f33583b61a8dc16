#!/usr/bin/env bash
# check-win32-exit-code.sh DELIVERABLE PROGRAM [WINE]: the exit code a Win32
# parent (cmd under Wine; WINE is what starts it, default wine) sees. A Unix
# parent only ever sees the low eight bits, so the command-line table can't
# tell -1 from 255; this can.
#   con32:   the whole 32-bit status, so -1 stays -1 (0xFFFFFFFF)
#   posix32: the low eight bits, as a POSIX parent sees them: 255
set -euo pipefail
deliverable=$1 program=$2 wine=${3:-wine}
case "$deliverable" in
  con32) invalid=-1 ;;
  posix32) invalid=255 ;;
  *) echo "unknown deliverable $deliverable" >&2; exit 1 ;;
esac
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
cp "$program" prog.exe
printf 'same' > a
printf 'same' > b
printf 'diff' > c
failed=0 passed=0 total=0
# Expects the exit code that cmd reports after running prog.exe with args.
expect() {
  local want=$1 got
  shift
  total=$((total + 1))
  # Delayed expansion (!ERRORLEVEL!) reads the code after the program ran;
  # cmd's own exit status is of no interest.
  got=$("$wine" cmd /v:on /c "prog.exe $* > nul & echo !ERRORLEVEL!" < /dev/null || true)
  got=${got%$'\r'}
  if [ "$got" = "$want" ]; then
    echo "ok   prog.exe $*: exit code $got"
    passed=$((passed + 1))
  else
    echo "FAIL prog.exe $*: exit code '$got', expected $want"
    failed=1
  fi
}
expect "$invalid" -n12k a b # an invalid numeric value: status -1
expect 0 a b
expect 9 a c
expect 127 -h
expect 255 a missing
# The tally for the test script's closing table, when it asks for one.
[ -z "${ZEBRIN_RESULTS:-}" ] || echo "$passed $total" > "$ZEBRIN_RESULTS/$deliverable.exit-codes"
exit $failed
