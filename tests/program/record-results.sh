#!/usr/bin/env bash
# Records testdata/results/PROFILE.txt, what the program's whole runs in its Wine test must
# show, from a run of the libraries' console driver on the same machine profile.
#   tests/program/record-results.sh PROFILE...
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$repo/tests/program/kestrelrun_drive.sh"
for profile in "$@"; do
  "$repo/scripts/demo" --console "$profile" >"$work/console.txt"
  {
    echo "# What the libraries' console driver printed for $profile (scripts/demo --console $profile,"
    echo "# its tester stand-ins answering \"works\"): the step status texts, score and problems a whole"
    echo "# run of the program must show. Remade by tests/program/record-results.sh $profile."
    console_results "$work/console.txt"
  } >"$repo/testdata/results/$profile.txt"
  echo "testdata/results/$profile.txt"
done
