#!/usr/bin/env bash
# tools/apt-deb-src.sh over made-up apt folders: each case is a set of source files and the
# deb-src entries expected from them.
set -euo pipefail
script="$(dirname "$(readlink -f "$0")")/../../tools/apt-deb-src.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

check() {  # name, expected output; the case's files are already in $work/apt
  local got
  got=$("$script" "$work/apt" 2>&1) || got="exit $?: $got"
  if [ "$got" != "$2" ]; then
    printf 'FAIL %s\n--- expected\n%s\n--- got\n%s\n' "$1" "$2" "$got" >&2
    failures=$((failures + 1))
  fi
  rm -rf "$work/apt"
}
files() { mkdir -p "$work/apt/sources.list.d"; }

files
printf '%s\n' '# deb-src file:/old bookworm main' \
  'deb [arch=amd64 signed-by=/k/a.gpg] file:/m/debian bookworm main contrib # local mirror' \
  'deb cdrom:[Debian]/ bookworm main' >"$work/apt/sources.list"
check "one-line entries keep URI, suite, components and keyring" "Types: deb-src
URIs: file:/m/debian
Suites: bookworm
Components: main contrib
Signed-By: /k/a.gpg"

files
printf '%s\n' 'Types: deb' '# a comment' 'URIs: file:/m/debian' 'Suites: bookworm bookworm-updates' \
  'Components: main' 'Signed-By:' ' -----BEGIN PGP PUBLIC KEY BLOCK-----' ' .' ' abc' '' \
  'Types: deb' 'Enabled: no' 'URIs: file:/off' 'Suites: x' >"$work/apt/sources.list.d/d.sources"
printf '%s\n' 'Types: deb-src' 'URIs: file:/stale' 'Suites: y' >"$work/apt/sources.list.d/sonavid-src.sources"
check "deb822 entries keep an inline key; disabled ones and our own file are left out" "Types: deb-src
URIs: file:/m/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By:
 -----BEGIN PGP PUBLIC KEY BLOCK-----
 .
 abc"

files
printf '%s\n' 'Types: deb deb-src' 'URIs: file:/m' 'Suites: s' 'Components: main' >"$work/apt/sources.list.d/d.sources"
check "a machine with deb-src entries of its own gets none" ""

files
check "no sources at all is an error" "exit 1: apt-deb-src: no deb entry in $work/apt to take source entries from"

[ $failures -eq 0 ] && echo "apt-deb-src: all cases pass"
exit $failures
