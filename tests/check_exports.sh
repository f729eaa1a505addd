#!/usr/bin/env bash
# Checks that a DLL exports each named function under its plain, undecorated name.
# usage: check_exports.sh OBJDUMP DLL NAME...
set -u
objdump=$1 dll=$2
shift 2
table=$("$objdump" -p "$dll") || { echo "cannot read $dll"; exit 1; }
names=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$table" | sed -E 's/.*\] +//')
failed=0
for name in "$@"; do
  if grep -qx "$name" <<<"$names"; then echo "exported: $name"; else echo "missing: $name"; failed=1; fi
done
exit $failed
