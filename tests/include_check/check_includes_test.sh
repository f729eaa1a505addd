#!/usr/bin/env bash
# scripts/check-includes over small trees in testdata/include_check/, each a fault it must find
# (and one, with a one-way pair of folders in a module, it must pass), then over the whole source
# tree.
#
#   tests/include_check/check_includes_test.sh REPO
set -uo pipefail

repo=${1:?usage: check_includes_test.sh REPO}
check="$repo/scripts/check-includes"
trees="$repo/testdata/include_check"
failed=0

# tree | exit code | text its output must hold
cases=(
  "clean|0|"
  "circle|1|modules include each other: alpha -> beta -> alpha"
  "headers|1|headers include each other: alpha/p.h -> alpha/q.h -> alpha/p.h"
  "upward|1|toolkit/src/swindow.cpp (tree) includes toolkit/include/toolkit/host.h (host window), a layer above"
  "unplaced|1|toolkit/src/gadget.cpp: no toolkit layer"
  "development|1|netprobe includes tests/support, which only develops or checks the product"
  "ambiguous|1|tools/stress/stress.cpp: cannot tell which \"core/services.h\" it means"
  "folders|1|folders of one module include each other: micprobe/core <-> micprobe/dll (micprobe/core/errors.cpp includes micprobe/dll/tester.h, micprobe/dll/tester.cpp includes micprobe/core/errors.h)"
  "split_folders|1|folders of one module include each other: kestrelrun/popups <-> kestrelrun/popups/controls (kestrelrun/popups/registration.cpp includes kestrelrun/popups/controls/monitor.h, kestrelrun/popups/controls/monitor.cpp includes kestrelrun/popups/registration.h)"
  "folder_circle|1|folders of one module include each other: netprobe/core -> netprobe/network -> netprobe/probes -> netprobe/core"
)
for entry in "${cases[@]}"; do
  IFS='|' read -r tree code text <<<"$entry"
  output=$("$check" --quiet "$trees/$tree")
  rc=$?
  if [ "$rc" != "$code" ] || [[ "$output" != *"$text"* ]]; then
    echo "FAIL $tree: exit $rc (wanted $code), output:"
    echo "$output"
    failed=1
  fi
done

if ! "$check" --quiet "$repo"; then
  echo "FAIL the source tree"
  failed=1
fi
exit $failed
