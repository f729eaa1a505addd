#!/usr/bin/env bash
# Real X input (xdotool) into the Win32 host under Wine, read back through the gallery's live
# dump and event log: hover states, tooltips and the hand cursor, Tab order with Enter and Space,
# Esc and the end codes of modal dialogs and the message box, and how the more menu's drop-down
# ends. Each check prints its own FAIL line. Skips (exit 77) without a display server.
#   gallery_input_wine_test.sh GALLERY.exe PREFIX_BASE
set -u
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
gallery=$1 base=$2
source "$repo/tests/support/window_test.sh"
pid=
trap 'close_gallery; display_stop; rm -rf "$work"' EXIT

# open LAYOUT [OPTION...]: runs the gallery with a dump rewritten every 100 ms; sets $pid
open_gallery() {
  local layout=$1 i
  shift
  rm -f "$work/dump.txt" "$work/events.txt"
  # Its own session, so that closing it ends the program too, not only the wrapper.
  setsid "$repo/scripts/wine-run" "$gallery" "$layout" --dump "Z:$work/dump.txt" \
    --events "Z:$work/events.txt" --exit-after 20000 --redump 100 "$@" >"$work/run.txt" 2>&1 &
  pid=$!
  for i in $(seq 300); do
    [ -f "$work/dump.txt" ] && return 0
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  cat "$work/run.txt"
  return 1
}
close_gallery() {
  [ -n "$pid" ] || return 0
  kill -- -"$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  pid=
}
# A dump written after now.
fresh_dump() {
  local i
  rm -f "$work/dump.txt"
  for i in $(seq 100); do
    [ -f "$work/dump.txt" ] && return 0
    sleep 0.1
  done
  return 1
}
# until_dump CHECK: takes fresh dumps until the shell command CHECK holds for one, up to 20 s
# (a loaded machine answers the pointer and the keys late); the last dump stays for messages.
until_dump() {
  local end=$((SECONDS + 20))
  while [ $SECONDS -lt $end ]; do
    fresh_dump && eval "$1" && return 0
  done
  return 1
}
# wait_event PATTERN: waits up to 30 s (a loaded machine opens a window slowly) for an event
# line matching the extended regex.
wait_event() {
  local i
  for i in $(seq 300); do
    grep -Eq "$1" "$work/events.txt" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}
events() { tr '\n' ';' <"$work/events.txt" 2>/dev/null; }
# How many of the gallery's X windows are mapped.
viewable() {
  local id
  for id in $(xwininfo -root -tree | grep "\"$(basename "$gallery")\"" | awk '{print $1}'); do
    xwininfo -id "$id" | grep -q IsViewable && echo "$id"
  done | wc -l
}
# The X cursor's picture (size, hot spot, pixel digest), or nothing when X cannot say.
x_cursor() {
  python3 - <<'EOF' 2>/dev/null
import ctypes, hashlib
class Image(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short), ("width", ctypes.c_ushort),
                ("height", ctypes.c_ushort), ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("serial", ctypes.c_ulong), ("pixels", ctypes.POINTER(ctypes.c_ulong))]
x11 = ctypes.CDLL("libX11.so.6")
fixes = ctypes.CDLL("libXfixes.so.3")
x11.XOpenDisplay.restype = ctypes.c_void_p
fixes.XFixesGetCursorImage.restype = ctypes.POINTER(Image)
fixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
display = x11.XOpenDisplay(None)
image = fixes.XFixesGetCursorImage(display).contents
pixels = bytes(str(list(image.pixels[: image.width * image.height])), "ascii")
print(image.width, image.height, image.xhot, image.yhot, hashlib.sha1(pixels).hexdigest()[:12])
EOF
}

gallery_prefix "$base-96" 96 && display_start || { fail "no display"; exit 1; }

# --- hover, tooltip and cursor ---
if open_gallery XML_MAINWND; then
  read -r _ _ _ _ _ _ wx wy _ <"$work/dump.txt"
  empty="$((wx + 100)) $((wy + 200))"
  xdotool mousemove $empty
  until_dump 'grep -qx "cursor arrow" "$work/dump.txt"'
  arrow=$(x_cursor)
  xdotool mousemove $(centre btn_sys_run)
  until_dump '[ "$(field btn_sys_run state)" = hover ]' ||
    fail "hover: btn_sys_run is $(field btn_sys_run state) under the pointer, not hover"
  xdotool mousemove $(centre btn_sys_abort)
  until_dump 'grep -qx "tooltip 更多" "$work/dump.txt" && [ "$(field btn_sys_run state)" = normal ]'
  grep -qx 'tooltip 更多' "$work/dump.txt" ||
    fail "hover: no tooltip 更多 over btn_sys_abort ($(grep '^tooltip' "$work/dump.txt"))"
  [ "$(field btn_sys_run state)" = normal ] || fail "hover: btn_sys_run stays $(field btn_sys_run state) after the pointer left"
  # The tooltip is a real X window: one more is mapped while it shows.
  mapped_tip=$(viewable)
  # A click on the control with the tip still reaches it.
  xdotool click 1
  wait_event '^10000 btn_sys_abort$' ||
    fail "hover: a click on btn_sys_abort under its tooltip did not reach it (events: $(events))"
  xdotool mousemove $empty
  until_dump '! grep -q "^tooltip" "$work/dump.txt"' ||
    fail "hover: the tooltip stays after the pointer left"
  for i in $(seq 100); do
    [ "$mapped_tip" -gt "$(viewable)" ] && break
    sleep 0.1
  done
  [ "$mapped_tip" -gt "$(viewable)" ] ||
    fail "hover: X mapped no window for the tooltip ($mapped_tip windows with it, $(viewable) without)"
  # The hand cursor over a link, the arrow beside it.
  grep -qx 'cursor arrow' "$work/dump.txt" || fail "cursor: $(grep '^cursor' "$work/dump.txt") over no control, not arrow"
  xdotool mousemove $(centre btn_sys_agreement)
  until_dump 'grep -qx "cursor hand" "$work/dump.txt"' ||
    fail "cursor: $(grep '^cursor' "$work/dump.txt") over the link btn_sys_agreement, not hand"
  hand=$(x_cursor)
  if [ -n "$arrow" ] && [ -n "$hand" ]; then
    [ "$arrow" != "$hand" ] || fail "cursor: X shows the same cursor over the link as beside it ($hand)"
  else
    echo "note: X cannot tell the cursor (no XFixes); only Wine's cursor was checked"
  fi
  close_gallery
else
  fail "XML_MAINWND did not open for hover"
fi

# --- Tab order, Enter and Space ---
if open_gallery XML_MAINWND; then
  read -r _ _ _ _ _ _ wx wy _ <"$work/dump.txt"
  xdotool mousemove $((wx + 100)) $((wy + 200))
  # The caption's buttons come first; Shift+Tab from nothing goes to the end, Tab wraps round.
  want=" btn_sys_feedback btn_sys_abort btn_sys_min btn_sys_close btn_sys_run"
  want="$want checkbox_sys_agreement btn_sys_run"
  order=
  next=($want)
  for keys in shift+Tab Tab Tab Tab Tab Tab shift+Tab; do
    xdotool key "$keys"
    # Each key moves the focus: wait for the control it should reach, and note where it is.
    until_dump "grep ' focus=1 ' \"\$work/dump.txt\" | grep -q ' name=${next[0]} '"
    order="$order $(grep ' focus=1 ' "$work/dump.txt" | sed 's/.* name=\([^ ]*\).*/\1/')"
    next=("${next[@]:1}")
  done
  [ "$order" = "$want" ] || fail "Tab: focus went$order, not$want"
  xdotool key Return
  wait_event '^10000 btn_sys_run$' || fail "Enter on the focused btn_sys_run fired nothing (events: $(events))"
  xdotool key space
  for i in $(seq 300); do
    [ "$(grep -c '^10000 btn_sys_run$' "$work/events.txt")" = 2 ] && break
    sleep 0.1
  done
  [ "$(grep -c '^10000 btn_sys_run$' "$work/events.txt")" = 2 ] ||
    fail "Space on the focused btn_sys_run did not fire it again (events: $(events))"
  close_gallery
else
  fail "XML_MAINWND did not open for Tab"
fi

# --- modal dialogs: Esc, and the end code the caller gets ---
if open_gallery XML_POPWND_ABORT --modal; then
  xdotool mousemove $(centre btn_popwnd_close)
  xdotool key Escape
  wait_event '^end ' || true
  grep -qx 'end 2' "$work/events.txt" 2>/dev/null || fail "Esc on the about box: not end 2 (events: $(events))"
  close_gallery
else
  fail "the about box did not open as a dialog"
fi
# The message box's controls, as its template lays out two buttons.
if open_gallery XML_MSGBOX --select btnSwitch=1; then
  cp "$work/dump.txt" "$work/msgbox.txt"
  close_gallery
fi
# msgbox TYPE ACTION WANT: opens the message box over the about box, acts, expects "msgbox WANT".
msgbox() {
  local type=$1 action=$2 want=$3 mx my
  if ! open_gallery XML_POPWND_ABORT --msgbox "$type" || ! wait_event '^modal '; then
    fail "msgbox $type: the box did not open"
    close_gallery
    return
  fi
  read -r _ mx my _ < <(grep '^modal ' "$work/events.txt")
  # Its dump with the box's own screen position.
  sed "1s/ at [0-9-]* [0-9-]* / at $mx $my /" "$work/msgbox.txt" >"$work/box.txt"
  xdotool mousemove $((mx + 20)) $((my + 20))
  case $action in
    Escape | Return) xdotool key "$action" ;;
    *) xdotool mousemove $(centre "$action" "$work/box.txt") click 1 ;;
  esac
  wait_event '^msgbox ' || true
  grep -qx "msgbox $want" "$work/events.txt" 2>/dev/null ||
    fail "message box type $type, $action: the caller did not get $want (events: $(events))"
  close_gallery
}
msgbox 1 Escape 2
msgbox 1 button1st 1
msgbox 1 button2nd 2
msgbox 1 Return 1
msgbox 0 Escape 1

# --- the more menu as a drop-down: 1 only from an item ---
if open_gallery XML_MAINWND --dropdown btn_sys_abort; then
  read -r _ _ _ _ _ _ wx wy _ <"$work/dump.txt"
  cp "$work/dump.txt" "$work/main.txt"
  # open_menu: clicks the more button until the dump shows the drop-down.
  open_menu() {
    xdotool mousemove $(centre btn_sys_abort "$work/main.txt") click 1
    until_dump 'grep -q "^dropdown$" "$work/dump.txt"'
  }
  ended() { grep -c '^dropdown ' "$work/events.txt" 2>/dev/null; }
  for way in item outside Escape; do
    before=$(ended)
    if ! open_menu; then
      fail "drop-down ($way): the more button opened no drop-down (events: $(events))"
      continue
    fi
    case $way in
      item)
        from=$(grep -n '^dropdown$' "$work/dump.txt" | cut -d: -f1)
        xdotool mousemove $(centre btn_more_about "$work/dump.txt" $((from + 1))) click 1
        want='dropdown 1 btn_more_about' ;;
      outside)
        xdotool mousemove $((wx + 400)) $((wy + 200)) click 1
        want='dropdown 2 ' ;;
      Escape)
        xdotool key Escape
        want='dropdown 2 ' ;;
    esac
    for i in $(seq 300); do
      [ "$(ended)" -gt "$before" ] && break
      sleep 0.1
    done
    got=$(grep '^dropdown ' "$work/events.txt" | tail -n +$((before + 1)) | head -1)
    [ "$got" = "$want" ] || fail "drop-down ended by $way: \"$got\", not \"$want\" (events: $(events))"
  done
  close_gallery
else
  fail "XML_MAINWND did not open for the drop-down"
fi

display_stop
window_test_end "gallery input tests"
