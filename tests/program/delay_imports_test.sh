#!/usr/bin/env bash
# KestrelRun.exe takes MicProbe.dll and CamProbe.dll through delay-import libraries: neither may
# be in its import table, the delay-load helper must be linked, and every pointer of theirs the
# program calls through must start at its load thunk. GNU ld once left all of the win32 build's
# at 0 (thunks it dropped), which would crash at the first call instead of loading the library.
#   delay_imports_test.sh NM OBJDUMP KESTRELRUN.exe DEF...
set -uo pipefail
nm=$1 objdump=$2 exe=$3
shift 3
fail() { echo "delay_imports: $*" >&2; exit 1; }

imports=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
for def in "$@"; do
  dll=$(basename "$def" .def).dll
  grep -qix "$dll" <<<"$imports" && fail "$dll is in the import table"
done
symbols=$("$nm" "$exe")
grep -q "delayLoadHelper2" <<<"$symbols" || fail "no delay-load helper linked"

width=8
"$objdump" -f "$exe" | grep -q "pei-i386" && width=4
checked=0
for def in "$@"; do
  for name in $(sed -n 's/^[[:space:]]*\([A-Za-z_][A-Za-z0-9_]*\) @[0-9]*.*$/\1/p' "$def"); do
    addr=$(awk -v a="__imp_$name" -v b="__imp__$name" '$2 == "I" && ($3 == a || $3 == b) {print $1}' <<<"$symbols")
    [ -n "$addr" ] || continue  # an export the program never calls
    end=$(printf '0x%x' $((0x$addr + width)))
    value=$("$objdump" -s --start-address="0x$addr" --stop-address="$end" "$exe" |
            awk -v a="$addr" -v w="$width" 'tolower($1) ~ substr(a, length(a) - 5) {
              print (w == 4 ? $2 : $2 $3)  # the hex words only, not the text column
            }')
    [ -n "$value" ] || fail "$name: no contents at 0x$addr"
    [ "$(tr -d 0 <<<"$value")" != "" ] || fail "$name: its pointer starts at 0"
    checked=$((checked + 1))
  done
done
[ "$checked" -ge 10 ] || fail "only $checked delay-imported pointers found"
echo "delay_imports: $checked pointers start at their load thunks"
