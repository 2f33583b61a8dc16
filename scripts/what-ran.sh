#!/usr/bin/env bash
# what-ran.sh RESULTS_DIR TABLE_REPORTS_DIR: the closing table of the test
# command, one row for what was executed of each deliverable and the cases it
# passed. RESULTS_DIR holds the checks' tallies ("passed total", or "not run:
# why"), TABLE_REPORTS_DIR the command-line table's reports (cli.<name>.xml).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/i386.sh
results=$1 reports=$2

# "P of N table cases" from a test report: cases skipped because they don't
# apply to the deliverable are not counted.
table() {
  local xml=$reports/cli.$1.xml tests bad skipped
  if [ ! -f "$xml" ]; then
    echo "table NOT RUN"
    return
  fi
  tests=$(sed -n 's/.*<testsuites tests="\([0-9]*\)".*/\1/p' "$xml")
  bad=$(sed -n 's/.*<testsuites [^>]*failures="\([0-9]*\)"[^>]*errors="\([0-9]*\)".*/\1 + \2/p' "$xml")
  skipped=$(sed -n 's/.*<testsuite [^>]* skipped="\([0-9]*\)".*/\1/p' "$xml" | paste -sd+)
  echo "$((tests - ${skipped:-0} - bad)) of $((tests - ${skipped:-0})) table cases"
}

# ", P of N <what>" from a check's tally, or that it didn't run.
tally() {
  local file=$results/$1.$2 passed total
  if [ ! -f "$file" ]; then
    echo ", $3 NOT RUN"
  elif read -r passed total < "$file" && [ "$passed" = "not" ]; then
    echo ", $3 NOT RUN ($(cut -d' ' -f3- "$file"))"
  else
    echo ", $passed of $total $3"
  fi
}

row() { printf '%-19s %-50s %s\n' "$@"; }

echo "== what ran"
row deliverable executed "cases passed"
row zebrin "the native build, natively" "$(table native)"
if zebrin_runs_i386; then
  row zebrin-linux "its build as shipped (unstripped), natively" "$(table linux)$(tally linux format 'format check')"
  for d in con32 posix32; do
    row "zebrin-$d.exe" "the shipped PE32 file, under Wine" \
      "$(table $d)$(tally $d exit-codes 'exit codes')$(tally $d format 'format check')"
  done
else
  row zebrin-linux "its build as shipped (unstripped), under qemu-i386" \
    "$(table linux)$(tally linux format 'format check')"
  for d in con32 posix32; do
    row "zebrin-$d.exe" "its 64-bit twin (never shipped), under wine64" \
      "$(table $d)$(tally $d exit-codes 'exit codes')"
    row "" "the shipped PE32 file: read; smoke run" \
      "$(tally $d format 'format check' | cut -c3-)$(tally $d smoke 'smoke cases')"
  done
  for d in con32 posix32; do
    if ! grep -qs '^[0-9]' "$results/$d.smoke"; then
      echo "NOTE: the shipped zebrin-$d.exe was not executed in this run (see its row)"
    fi
  done
fi
row release "two releases of HEAD in two clones, checked" \
  "$(tally release check 'release check' | cut -c3-)"
row "" "the .dsc alone, built in a bare Debian 12 (amd64)" \
  "$(tally release rebuild '.debs the same as dist/' | cut -c3-)$(tally release autopkgtest autopkgtests)"
row "" "the .dsc alone, built in a bare i386 Debian 12" \
  "$(tally release i386 tests | cut -c3-)$(tally release i386-autopkgtest autopkgtests)"
for arch in arm64 armhf ppc64el s390x; do
  pages=""
  case $arch in
    arm64 | ppc64el) pages=$(tally release "$arch-64k" 'table cases on 64 KiB pages') ;;
  esac
  row "" "$arch: cross-built, its tests under qemu-user" \
    "$(tally release "$arch" tests | cut -c3-)$pages"
done
zebrin_runs_i386 ||
  echo "NOTE: for i386 the test suite was only compiled (cross compiler, warnings as errors), not run"
