#!/usr/bin/env bash
# Checks that a DLL exports exactly the named functions, each under its plain, undecorated name.
# usage: check_exports.sh OBJDUMP DLL NAME...
set -u
objdump=$1 dll=$2
shift 2
table=$("$objdump" -p "$dll") || { echo "cannot read $dll"; exit 1; }
exported=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$table" | sed -nE 's/^\s*\[ *[0-9]+\] +//p')
failed=0
for name in "$@"; do
  if grep -qxF "$name" <<<"$exported"; then
    echo "exported: $name"
  else
    echo "missing: $name"
    failed=1
  fi
done
while read -r name; do
  [ -n "$name" ] || continue
  printf '%s\n' "$@" | grep -qxF "$name" || { echo "unexpected: $name"; failed=1; }
done <<<"$exported"
exit $failed
