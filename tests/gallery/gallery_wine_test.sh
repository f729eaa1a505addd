#!/usr/bin/env bash
# The Win32 host under Wine on a virtual display, through the gallery: every layout opens at its
# size with Chinese texts (read back from the toolkit's tree), a real click reaches the right
# control, and at 144 DPI a window is 1.5 times larger. Skips (exit 77) without a display server.
#   gallery_wine_test.sh GALLERY.exe PREFIX_BASE
set -u
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
gallery=$1 base=$2
source "$repo/tests/support/window_test.sh"
trap 'display_stop; rm -rf "$work"' EXIT

# open LAYOUT [OPTION...]: runs the gallery until its dump is written; sets $pid
open_layout() {
  local layout=$1 i
  shift
  rm -f "$work/dump.txt" "$work/events.txt"
  "$repo/scripts/wine-run" "$gallery" "$layout" --dump "Z:$work/dump.txt" \
    --events "Z:$work/events.txt" --exit-after 15000 "$@" >"$work/run.txt" 2>&1 &
  pid=$!
  for i in $(seq 300); do
    [ -f "$work/dump.txt" ] && return 0
    sleep 0.1
  done
  cat "$work/run.txt"
  return 1
}
close_layout() {
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
}

gallery_prefix "$base-96" 96 && display_start || { fail "no display"; exit 1; }
# Each program layout with the size its root names, body without the shadow margin.
for layout in XML_MAINWND XML_MSGBOX XML_POPWND_ABORT XML_POPWND_DNS; do
  if ! open_layout "$layout"; then
    fail "$layout did not open"
    continue
  fi
  read -r _ w h _ scale _ _ _ _ lw lh <"$work/dump.txt"
  [ "$scale" = 1 ] || fail "$layout: scale $scale at 96 DPI"
  [ "${lw%.*}" -gt "${w%.*}" ] && [ "${lh%.*}" -gt "${h%.*}" ] ||
    fail "$layout: body ${w}x$h is not inside its layout size ${lw}x$lh"
  python3 -c "import sys,re; t=open(sys.argv[1],encoding='utf-8').read(); sys.exit(0 if re.search('[\u4e00-\u9fff]', t) else 1)" \
    "$work/dump.txt" || fail "$layout shows no Chinese text"
  grep -q "shown=1" "$work/dump.txt" || fail "$layout shows no control"
  close_layout
done

# A real click on the start button of the main window reaches its command.
if open_layout XML_MAINWND; then
  read -r _ _ _ _ _ _ x y _ <"$work/dump.txt"
  rect=$(grep ' name=btn_sys_run ' "$work/dump.txt" | grep ' shown=1 ' | head -1 | sed 's/.*rect=\([^ ]*\).*/\1/')
  IFS=, read -r bx by bw bh <<<"$rect"
  cx=$(python3 -c "print(int($x + $bx + $bw / 2))") cy=$(python3 -c "print(int($y + $by + $bh / 2))")
  xdotool mousemove "$cx" "$cy" click 1
  # A loaded machine delivers the click late: wait for its event, up to 30 s.
  for i in $(seq 300); do
    grep -q '^10000 btn_sys_run$' "$work/events.txt" 2>/dev/null && break
    sleep 0.1
  done
  grep -q '^10000 btn_sys_run$' "$work/events.txt" 2>/dev/null ||
    fail "a click at $cx,$cy did not reach btn_sys_run (events: $(cat "$work/events.txt" 2>/dev/null))"
  close_layout
else
  fail "XML_MAINWND did not open for the click"
fi
display_stop

# At 144 DPI the window is 1.5 times its layout size.
gallery_prefix "$base-144" 144 && display_start || { fail "no display"; exit 1; }
if open_layout XML_POPWND_ABORT; then
  read -r _ w h _ scale _ <"$work/dump.txt"
  [ "$scale" = 1.5 ] || fail "scale $scale at 144 DPI"
  python3 -c "import sys; sys.exit(0 if abs($w - 1.5 * (404 - 10)) < 2 and abs($h - 1.5 * (267 - 10)) < 2 else 1)" ||
    fail "about box ${w}x$h at 144 DPI, not 1.5 times 394x257"
  close_layout
else
  fail "XML_POPWND_ABORT did not open at 144 DPI"
fi
window_test_end "gallery Wine tests"
