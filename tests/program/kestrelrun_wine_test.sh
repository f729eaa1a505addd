#!/usr/bin/env bash
# The real KestrelRun.exe under Wine on a virtual display, driven by real clicks and keys
# (xdotool) and read back through its development state dump (KESTREL_UI_DUMP), its log, the
# pages it opened and screenshots: start-up and the main window, the agreement toggles, the more
# menu and about box, help, a second instance, the newer-version answer, an offline machine
# (page 4 and retry), a run's message boxes shown while the worker waits, and closing while idle
# and during a run (Cancel keeps it, OK ends it promptly). Skips (exit 77) without a display.
#   kestrelrun_wine_test.sh KESTRELRUN.exe PREFIX HTTP_PORT [SHOTS_DIR]
set -u
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
program=$(readlink -f "$1") prefix=$(readlink -f "$2") http_port=$3 shots=${4:-}
bin=$(dirname "$program")
source "$repo/tests/support/window_test.sh"
[ -n "$shots" ] || shots=$work/shots
mkdir -p "$shots"
pids=()
trap 'for p in "${pids[@]}"; do kill -- -"$p" 2>/dev/null; done; display_stop; rm -rf "$work"' EXIT

gallery_prefix "$prefix" 96 && display_start || { fail "no display"; exit 1; }
export KESTREL_OPENED_LOG=$work/opened.txt
export PATH=$repo/tests/usagelink/standin:$PATH
export WINEPATH="Z:$(dirname "$bin")/simbin" KESTREL_DLL_OVERRIDES=iphlpapi=n
# The machine's release number lives in the registry, as on Windows (the prefix is the test's).
if [ ! -f "$prefix/.kestrel-release" ]; then
  grep -v '^#' "$repo/testdata/profiles/desktop-zh/registry.txt" | while IFS='=' read -r name value; do
    [ -n "$name" ] && "$repo/scripts/wine-run" reg add \
      'HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion' /v "$name" /t REG_SZ /d "$value" /f
  done >/dev/null 2>&1 && touch "$prefix/.kestrel-release"
fi
# The offline machine is the desktop with no answer from the presence check's hosts.
"$repo/scripts/complete-profile" "$repo/testdata/profiles/offline-zh" \
  "$repo/testdata/profiles/desktop-zh" "$work/offline-zh" >/dev/null
server() { curl -s --max-time 5 -X POST "http://127.0.0.1:$http_port/_test/$1" >/dev/null; }

profile_dir() { if [ -d "$work/$1" ]; then echo "$work/$1"; else echo "$repo/testdata/profiles/$1"; fi; }
# launch PROFILE NAME: runs the program on a machine profile with its dump in $work/NAME.txt;
# sets $pid and $dump.
launch() {
  dump=$work/$2.txt
  rm -f "$dump"
  rc=$work/$2.rc
  rm -f "$rc"
  # The exit code lands in $work/NAME.rc once the program has ended.
  LC_ALL=zh_CN.UTF-8 KESTREL_PROFILE="Z:$(profile_dir "$1")" KESTREL_UI_DUMP="Z:$dump" \
    setsid bash -c '"$1" "$2" >"$3.out" 2>&1; echo $? >"$3.rc"' _ "$repo/scripts/wine-run" \
    "$program" "$work/$2" &
  pid=$!
  pids+=("$pid")
}
# start PROFILE NAME: launch, then wait for the first dump.
start() {
  local i
  launch "$@"
  for i in $(seq 600); do
    [ -f "$dump" ] && return 0
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  return 1
}
# wait_mapped N: until more than N of the program's X windows are mapped (60 s at most).
wait_mapped() {
  local i
  for i in $(seq 600); do
    [ "$(mapped)" -gt "$1" ] && return 0
    sleep 0.1
  done
  return 1
}
# How many of the program's X windows are mapped.
mapped() { xdotool search --onlyvisible --classname KestrelRun.exe 2>/dev/null | wc -l; }
# A dump written after now, as $work/dump.txt (where centre and field read).
fresh() {
  local i
  rm -f "$dump"
  for i in $(seq 50); do
    [ -f "$dump" ] && cp "$dump" "$work/dump.txt" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}
# wait_for PATTERN [TRIES]: until a dump has a line matching the extended regex.
wait_for() {
  local i
  for i in $(seq "${2:-100}"); do
    fresh && grep -Eq "$1" "$work/dump.txt" && return 0
  done
  return 1
}
# click NAME: a real click at the centre of the shown control NAME of the main window.
click() {
  local at
  fresh
  at=$(centre "$1") || true
  [ -n "$at" ] || { fail "no shown $1 to click"; return 1; }
  xdotool mousemove $at click 1
  sleep 0.3
}
# click_in SECTION NAME: a click on NAME in the tree after the dump's line SECTION ("popup audio").
click_in() {
  local at line
  fresh
  line=$(grep -n "^$1\$" "$work/dump.txt" | head -1 | cut -d: -f1)
  at=
  [ -n "$line" ] && at=$(centre "$2" "$work/dump.txt" $((line + 1))) || true
  [ -n "$at" ] || { fail "no shown $2 in $1 to click"; return 1; }
  xdotool mousemove $at click 1
  sleep 0.3
}
shown() { [ "$(field "$1" shown)" = 1 ]; }
shot() { import -window root "$shots/$1.png"; }
# ends NAME SECONDS: the program started as NAME ended within the time; prints its exit code.
ends() {
  local i
  for i in $(seq $(($2 * 10))); do
    [ -s "$work/$1.rc" ] && { cat "$work/$1.rc"; return 0; }
    sleep 0.1
  done
  return 1
}
# Ends the program of $pid if it still runs (after a failed check), so the next start is first.
finish() {
  kill -0 "$pid" 2>/dev/null || return 0
  kill -- -"$pid" 2>/dev/null
  sleep 2
}
# The middle of the OK button of a box centred on the screen (a window not yet shown has none).
centred_box_button() {
  local width height
  read -r width height < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')
  echo $(((width - 314) / 2 + 157)) $(((height - 204) / 2 + 169))
}
# The centre of the open message box's button (1 OK, 2 Cancel of an OK/Cancel box; 0 the OK of
# an OK box), from the box's screen rectangle and its layout (324 x 214, margin 5,3,5,7).
box_button() {
  local x y w h
  read -r _ x y w h < <(grep -m1 '^modal ' "$work/dump.txt")
  case $1 in
    0) echo $((x + 157)) $((y + 169)) ;;
    1) echo $((x + 100)) $((y + 169)) ;;
    2) echo $((x + 214)) $((y + 169)) ;;
  esac
}

server reset
# --- start-up, the main window, agreement, menu, about, help, a second instance, idle close ---
if start desktop-zh main; then
  fresh
  grep -q ' name=btn_sys_run .*shown=1 enabled=1' "$work/dump.txt" ||
    fail "start: btn_sys_run not shown and enabled ($(grep -m1 name=btn_sys_run "$work/dump.txt"))"
  grep -q 'text=Tarvos-Lessora V2.1.20.928' "$work/dump.txt" || fail "start: no title line"
  shot start
  click checkbox_sys_agreement && fresh
  [ "$(field btn_sys_run enabled)" = 0 ] || fail "agreement: btn_sys_run stays enabled unticked"
  click btn_sys_agreement && fresh
  shown agreement_edit || fail "agreement: the link did not show page 3"
  [ "$(field btn_sys_run enabled)" = 0 ] || true
  click checkbox_sys_agreement_2 && fresh
  shot agreement
  click btn_sys_agreement && fresh
  shown btn_sys_run || fail "agreement: the second click on the link did not show page 0"
  [ "$(field btn_sys_run enabled)" = 1 ] || fail "agreement: ticking page 3's box did not enable btn_sys_run"

  click btn_sys_abort && fresh
  shown btn_more_about || fail "menu: btn_sys_abort did not show the more menu"
  shot menu
  read -r _ _ _ _ _ _ wx wy _ <"$work/dump.txt"
  xdotool mousemove $((wx + 100)) $((wy + 300)) click 1  # a blank spot of the start page
  sleep 0.3; fresh
  shown btn_more_about && fail "menu: a click outside did not close it"
  click btn_sys_abort && click btn_more_about
  wait_for '^dialog LAYOUT:XML_POPWND_ABORT' 30 || fail "about: no about box"
  shot about
  grep -q 'text=当前版本：2.1.20.928' "$work/dump.txt" || fail "about: no version line"
  line=$(grep -n '^dialog ' "$work/dump.txt" | cut -d: -f1)
  xdotool mousemove $(centre btn_popwnd_close "$work/dump.txt" $((line + 1))) click 1
  sleep 0.5; fresh
  grep -q '^dialog' "$work/dump.txt" && fail "about: its close button did not end it"
  shown btn_more_about && fail "about: the menu stayed open"
  click btn_sys_abort && click btn_more_help
  sleep 1
  grep -q '/detail/dc_188984.html' "$KESTREL_OPENED_LOG" 2>/dev/null ||
    fail "help: the help article was not opened ($(cat "$KESTREL_OPENED_LOG" 2>/dev/null))"

  # A second instance says so and ends with 0; the first goes on.
  first=$pid first_dump=$dump
  launch desktop-zh second
  wait_mapped "$(mapped)" || fail "second instance: no window of its own"
  sleep 1
  shot second-instance
  # Its box lies in the middle of the screen, as every box of a window not yet shown.
  xdotool mousemove $(centred_box_button 0) click 1
  code=$(ends second 10) || fail "second instance: still running after Enter"
  [ "${code:-x}" = 0 ] || fail "second instance: exit code ${code:-none}, not 0"
  pid=$first dump=$first_dump
  fresh && kill -0 "$first" 2>/dev/null || fail "second instance: the first one is gone"

  click btn_sys_close
  code=$(ends main 10) || fail "idle close: still running 10 s after the close button"
  [ "${code:-x}" = 0 ] || fail "idle close: exit code ${code:-none}"
  ls "$bin/log/"*.log >/dev/null 2>&1 || fail "start: no log file in $bin/log"
else
  fail "start: no dump from the program ($(cat "$work/main.out" 2>/dev/null))"
fi

finish
# --- a newer version: the message, the download page, exit code 0 ---
server "set?version.current=9.0.0.1"
: >"$KESTREL_OPENED_LOG"
launch desktop-zh newer
if wait_mapped 0; then
  sleep 1
  shot newer-version
  xdotool mousemove $(centred_box_button 0) click 1
  code=$(ends newer 10) || fail "newer version: still running after Enter"
  [ "${code:-x}" = 0 ] || fail "newer version: exit code ${code:-none}"
  sleep 0.5
  grep -q "127.0.0.1:$http_port" "$KESTREL_OPENED_LOG" 2>/dev/null ||
    fail "newer version: no download page opened ($(cat "$KESTREL_OPENED_LOG" 2>/dev/null))"
  [ -f "$work/newer.txt" ] && fail "newer version: the main window became usable"
else
  fail "newer version: no window ($(cat "$work/newer.out"))"
fi
server reset

finish
# --- an offline machine: page 4, retry, page 4 again ---
if start offline-zh offline; then
  wait_for '^state .*networkUp=0 presenceChecked=1' 300 ||
    fail "offline: the presence check did not find the network down ($(grep '^state' "$work/dump.txt"))"
  click btn_sys_run
  wait_for ' name=btn_sys_retry .*shown=1' 30 || fail "offline: btn_sys_run did not show page 4"
  shot offline
  click btn_sys_retry && fresh
  shown btn_sys_run || fail "offline: retry did not show page 0"
  click btn_sys_run
  wait_for ' name=btn_sys_retry .*shown=1' 30 || fail "offline: the second start did not show page 4"
  click btn_sys_close
  ends offline 10 >/dev/null || fail "offline: still running after close"
else
  fail "offline: no dump ($(cat "$work/offline.out"))"
fi

finish
# --- a run: the worker's message box on the UI thread, then closing during the run ---
if start desktop-zh run; then
  sleep 1
  click btn_sys_run
  # No popups: the microphone step's box opens from the worker's request while it waits.
  wait_for '^msgbox 未检测到麦克风和扬声器！' 50 || fail "run: no microphone box ($(grep -E '^(msgbox|modal)' "$work/dump.txt"))"
  shown detect_pro_showinfo_1 || fail "run: the detecting page is not shown under the box"
  shot run-microphone-box
  grep -q 'text=检测麦克风的运行情况...' "$work/dump.txt" || fail "run: the status label was not refreshed while the worker waits"
  xdotool mousemove $(box_button 0) click 1
  # With the popups, the audio popup waits for a verdict in its no-device state.
  if wait_for '^popup audio' 20; then
    shot run-audio-popup
    click_in "popup audio" btn_popwnd_audio_work
  fi
  wait_for '^msgbox 未检测到摄像头！' 80 || fail "run: no camera box"
  xdotool mousemove $(box_button 0) click 1
  if wait_for '^popup camera' 20; then
    shot run-camera-popup
    click_in "popup camera" btn_popwnd_video_work
  fi
  wait_for 'text=检测(主机基本信息|操作系统|CPU)' 80 || fail "run: the probes did not start"
  click btn_sys_close
  wait_for '^msgbox 正在检测中,确认退出吗？' 30 || fail "run: closing during the run did not ask"
  shot run-confirm-close
  xdotool mousemove $(box_button 2) click 1
  sleep 1.5; fresh
  grep -q '^msgbox' "$work/dump.txt" && fail "run: Cancel left the box open"
  kill -0 "$pid" 2>/dev/null || fail "run: Cancel ended the program"
  shown detect_pro_showinfo_1 || fail "run: Cancel left the detecting page"
  click btn_sys_close
  wait_for '^msgbox 正在检测中,确认退出吗？' 30 || fail "run: the second close did not ask"
  xdotool mousemove $(box_button 1) click 1
  code=$(ends run 5) || fail "run: still running 5 s after OK"
  [ "${code:-x}" = 0 ] || fail "run: exit code ${code:-none} after OK"
else
  fail "run: no dump ($(cat "$work/run.out"))"
fi

finish
echo "screenshots in $shots"
window_test_end kestrelrun_wine
