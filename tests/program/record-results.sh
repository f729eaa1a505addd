#!/usr/bin/env bash
# Records testdata/results/PROFILE.txt, what the program's whole runs in its Wine test must
# show, from a run of the libraries' console driver on the same machine profile. Nothing else may
# download from the server meanwhile: its payload's rate is shared.
#   tests/program/record-results.sh PROFILE...
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$repo/tests/program/kestrelrun_drive.sh"
# The speed test at the payload rate the Wine test sets (see results_rate), on the server of the
# win64 build's ports, started with test control when none runs there.
port=$(sed -n 's/^KESTREL_SERVER_HTTP_PORT:[A-Z]*=//p' "$repo/build/win64/CMakeCache.txt")
tls_port=$(sed -n 's/^KESTREL_SERVER_HTTPS_PORT:[A-Z]*=//p' "$repo/build/win64/CMakeCache.txt")
if ! curl -s --max-time 3 -o /dev/null "http://127.0.0.1:$port/"; then
  "$repo/scripts/server-ctl" start "$work/server" --http-port "$port" --https-port "$tls_port" >/dev/null
  trap '"$repo/scripts/server-ctl" stop "$work/server"; rm -rf "$work"' EXIT
fi
curl -sf --max-time 5 -X POST -d "" "http://127.0.0.1:$port/_test/set?payload.rate=$results_rate" >/dev/null
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
curl -s --max-time 5 -X POST -d "" "http://127.0.0.1:$port/_test/reset" >/dev/null || true
