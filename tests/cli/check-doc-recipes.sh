#!/usr/bin/env bash
# check-doc-recipes.sh PROGRAM SOURCE_DIR [LAUNCHER]: runs the scripts that the
# README's "In scripts" section and the man page's examples give, taken from
# their text as a reader copies them, against PROGRAM on small pairs of files,
# and checks that each prints what its text promises. A recipe that goes wrong
# on some status (two empty files, an offset, a count on equal files) fails
# here rather than in a user's build. LAUNCHER (one word list, such as a
# user-mode emulator and its options) starts the program where it can't run
# itself.
set -euo pipefail
program=$(realpath "$1")
src=$2
launcher=${3:-}
tmp=$(mktemp -d "${TMPDIR:-/tmp}/zebrin-recipes.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
trap 'exit 1' HUP INT TERM

# The README's recipes: every fenced block of its "In scripts" section, in
# order, as readme-N.sh or readme-N.mk.
n=0 section=0 block=
while IFS= read -r line; do
  case $line in
    '## In scripts') section=1; continue ;;
    '## '*) section=0 ;;
  esac
  [ "$section" = 1 ] || continue
  case $line in
    '```sh') n=$((n + 1)); block=$tmp/readme-$n.sh; : > "$block"; continue ;;
    '```make') n=$((n + 1)); block=$tmp/readme-$n.mk; : > "$block"; continue ;;
    '```') block=; continue ;;
  esac
  [ -z "$block" ] || printf '%s\n' "$line" >> "$block"
done < "$src/README.md"

# The man page's: every example block of EXAMPLES that decides on the status,
# as man-N.sh, with the few escapes it uses turned back into characters.
n=0 section=0 block=
while IFS= read -r line; do
  case $line in
    '.SH EXAMPLES') section=1; continue ;;
    '.SH '*) section=0 ;;
  esac
  [ "$section" = 1 ] || continue
  case $line in
    .EX) block=$tmp/block; : > "$block"; continue ;;
    .EE)
      if grep -q 'case \$? in' "$block"; then
        n=$((n + 1))
        if sed -e 's/\\[-e]//g' -e 's/\\(aq//g' "$block" | grep -q '\\'; then
          echo "FAIL: man page example $n uses an escape this test doesn't read"
          exit 1
        fi
        sed -e 's/\\-/-/g' -e "s/\\\\(aq/'/g" -e 's/\\e/\\/g' "$block" > "$tmp/man-$n.sh"
      fi
      block=; continue ;;
  esac
  [ -z "$block" ] || printf '%s\n' "$line" >> "$block"
done < "$src/docs/zebrin.1"

found=$(cd "$tmp" && ls readme-* man-* 2> /dev/null | tr '\n' ' ') || true
[ "$found" = "man-1.sh man-2.sh readme-1.sh readme-2.mk readme-3.sh " ] || {
  echo "FAIL: the recipes found are '$found': update this test's table to the documents"
  exit 1
}

# Each pair under every name the recipes use: old.bin and new.bin, out.bin and
# golden.bin, a.img and b.img.
text=$(printf 'line %s\n' 1 2 3 4 5 6 7 8 9 10)
pair() {
  mkdir "$tmp/$1"
  printf '%s' "$2" > "$tmp/$1/old.bin"
  printf '%s' "$3" > "$tmp/$1/new.bin"
  cp "$tmp/$1/old.bin" "$tmp/$1/out.bin"
  cp "$tmp/$1/old.bin" "$tmp/$1/a.img"
  cp "$tmp/$1/new.bin" "$tmp/$1/golden.bin"
  cp "$tmp/$1/new.bin" "$tmp/$1/b.img"
}
pair equal "$text" "$text"
pair prefix "$text" "$text more"
pair offset "$text" "HDR$text"
pair offset-longer "$text" "HDR$text tail"
pair empty "" ""
pair first-empty "" "$text"
pair differing "$text" "${text/line 3/Line 3}"

mkdir "$tmp/bin"
if [ -z "$launcher" ]; then
  ln -s "$program" "$tmp/bin/zebrin"
else
  printf '#!/bin/sh\nexec %s "%s" "$@"\n' "$launcher" "$program" > "$tmp/bin/zebrin"
  chmod +x "$tmp/bin/zebrin"
fi

# recipe | pair | what it prints (a Makefile: whether make succeeds)
table='
readme-1.sh | equal         | identical
readme-1.sh | prefix        | new.bin begins with old.bin
readme-1.sh | offset        | different
readme-1.sh | empty         | identical
readme-1.sh | first-empty   | old.bin is empty
readme-1.sh | differing     | different
readme-2.mk | equal         | made
readme-2.mk | prefix        | failed
readme-2.mk | offset        | failed
readme-2.mk | empty         | made
readme-2.mk | first-empty   | failed
readme-2.mk | differing     | failed
readme-3.sh | equal         | 0
readme-3.sh | prefix        | 0
readme-3.sh | offset        | 70
readme-3.sh | empty         | 0
readme-3.sh | differing     | 1
man-1.sh    | equal         | same
man-1.sh    | prefix        | same but one is longer
man-1.sh    | offset        | different
man-1.sh    | empty         | same
man-1.sh    | first-empty   | a.img is empty
man-1.sh    | differing     | different
man-2.sh    | equal         | yes
man-2.sh    | prefix        | no
man-2.sh    | offset        | yes
man-2.sh    | offset-longer | no
man-2.sh    | empty         | yes
man-2.sh    | first-empty   | no
man-2.sh    | differing     | no
'
failed=0 cases=0
while IFS='|' read -r recipe pair expected; do
  recipe=$(echo $recipe) pair=$(echo $pair) expected=$(echo $expected)
  [ -n "$recipe" ] || continue
  cases=$((cases + 1))
  # Bounded, so that a faulty program can't fill the disk, and a hanging one
  # ends the test at its first case rather than at CTest's time limit.
  status=0
  got=$(cd "$tmp/$pair" && ulimit -f 1024 -t 10 && PATH=$tmp/bin:$PATH &&
    case $recipe in
      *.mk) code=0
            timeout 10 make -s -f "$tmp/$recipe" check > /dev/null 2>&1 || code=$?
            [ "$code" = 0 ] && echo made || echo failed
            exit "$code" ;;
      *) timeout 10 sh "$tmp/$recipe" 2>&1 | head -c 4096 ;;
    esac) || status=$?
  if [ "$status" = 124 ]; then
    echo "FAIL: $recipe on the $pair pair ran for more than 10 seconds"
    exit 1
  fi
  if [ "$got" != "$expected" ]; then
    echo "FAIL: $recipe on the $pair pair printed '$got', its text promises '$expected'"
    failed=1
  fi
done <<< "$table"
[ "$failed" = 0 ] || exit 1
echo "the documents' $cases recipe cases give what they promise"
