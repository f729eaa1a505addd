# Sourced by the Wine window tests (with $repo set): the display helpers of scripts/wine-display,
# a skip (exit 77) on a machine without a display server, a scratch folder $work, and one FAIL
# line per failed check.
#   fail MESSAGE            prints "FAIL: MESSAGE" and counts it
#   window_test_end WHAT    prints "WHAT passed" when no check failed; exits 0 or 1
#   centre, field               reading a tree dump (tests/support/tree_dump.sh)
source "$repo/scripts/wine-display"
if missing=$(display_missing); then
  echo "SKIPPED: no $missing for the Wine window tests"
  exit 77
fi
work=$(mktemp -d)
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
window_test_end() {
  [ "$failures" -eq 0 ] && echo "$1 passed"
  exit $((failures > 0))
}

source "$repo/tests/support/tree_dump.sh"
