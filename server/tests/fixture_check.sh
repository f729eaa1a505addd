#!/usr/bin/env bash
# The fixture's server answers the payload's header-only request on the plain port and speaks
# TLS on the other.   fixture_check.sh HTTP_PORT HTTPS_PORT PAYLOAD_FILE
set -euo pipefail
head=$(curl -sS --max-time 10 -I "http://127.0.0.1:$1/tarvos/DriverFilesUploadFloder/35240/$3")
grep -qi '^content-length: [1-9]' <<<"$head" || { echo "no payload length: $head"; exit 1; }
code=$(curl -sS --max-time 10 -k -o /dev/null -w '%{http_code}' "https://127.0.0.1:$2/none")
[ "$code" = 404 ] || { echo "https answered $code"; exit 1; }
