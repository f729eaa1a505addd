#!/usr/bin/env bash
# The real KestrelRun.exe under Wine read and driven through its accessibility tree alone, by
# our client in a second process (tools/accclient): the tree of the start page, the more menu
# and the about box pressed and read by name, the start of a detection by "开始检测" followed by
# its events (the status text's changes, the audio popup's show), the microphone drop-down's list
# items and the arrow keys, the progress, the message box that closing during a run shows, and
# the microphone's verdict with the status text followed to the camera step.
# Skips (exit 77) without a display. The screenshots are kept in SHOTS_DIR (or $KESTREL_SHOTS).
#   kestrelrun_access_wine_test.sh KESTRELRUN.exe PREFIX HTTP_PORT ACCCLIENT.exe [SHOTS_DIR]
set -u
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
program=$(readlink -f "$1") prefix=$(readlink -f "$2") http_port=$3 accclient=$(readlink -f "$4")
shots=${5:-${KESTREL_SHOTS:-}}
source "$repo/tests/support/window_test.sh"
[ -n "$shots" ] || shots=$work/shots
mkdir -p "$shots"
source "$repo/tests/program/kestrelrun_drive.sh"
trap 'for p in "${pids[@]}"; do kill -- -"$p" 2>/dev/null; done; display_stop; rm -rf "$work"' EXIT

gallery_prefix "$prefix" 96 && display_start || { fail "no display"; exit 1; }
drive_environment
machine_registry "$repo/testdata/profiles/desktop-zh"
curl -s --max-time 5 -X POST -d "" "http://127.0.0.1:$http_port/_test/reset" >/dev/null

if start desktop-zh access; then
  acc wait 开始检测 60 >/dev/null || fail "start: no node called 开始检测"
  acc tree >"$work/tree.txt" 2>"$work/tree.err"
  grep -q '开始检测' "$work/tree.txt" ||
    fail "tree: $(head -c 600 "$work/tree.txt" "$work/tree.err" | tr '\n' ';')"
  # The start page's controls, with their roles (43 push button, 44 check box, 30 link) and
  # the icon buttons named as their tips say.
  for want in 'role=43 state=0x100004 name="开始检测" action=Press' \
    'role=44 state=0x100010 name="同意" action=Uncheck' \
    'name="《Tarvos服务工具使用许可协议》".* action=Jump' \
    'role=43 .*name="更多" action=Press' 'role=43 .*name="最小化" action=Press' \
    'role=43 .*name="关闭" action=Press' 'role=40 .*name="检测插图"'; do
    grep -Eq "$want" "$work/tree.txt" || fail "tree: no line like '$want'"
  done
  grep -q 'name="检测进度"' "$work/tree.txt" && fail "tree: the hidden detection page is in it"

  # The more menu and the about box, pressed and read by name.
  acc press 更多 >/dev/null || fail "menu: 更多 not pressed"
  acc wait 帮助 10 >/dev/null || fail "menu: its buttons did not appear"
  acc press 关于 >/dev/null || fail "about: 关于 not pressed"
  acc wait 当前版本：2.1.20.928 20 >/dev/null || fail "about: no version line"
  shot about
  # The box is the top window: its own close button is found first.
  acc press 关闭 >/dev/null || fail "about: 关闭 not pressed"
  sleep 1
  acc tree | grep -q '当前版本' && fail "about: the box did not end"

  # A key shows the focus mark (on "同意", after "开始检测"); once the popup has the keyboard,
  # the main window below it shows none (the "popup" screenshot).
  xdotool key Tab
  sleep 0.5
  shot mark
  # A detection started through the tree and followed by its events, as a screen reader follows
  # it: the client's hook is in before it presses "开始检测". The run begins with the microphone,
  # whose popup waits for the user: the status text's name changes turn from the layout's
  # placeholder to that step, and the popup's show event names it.
  # The popup may show before the window's refresh has copied the status text: in either order.
  acc events 60 --until show 麦克风和扬声器检测 --until name 检测麦克风的运行情况... --press 开始检测 \
    >"$work/events.txt" ||
    fail "run: not both the popup's show and the status text's change heard ($(cut -f1,2 "$work/events.txt" | tr '\t\n' ' ;' | head -c 800))"
  awk -F'\t' '$1 == "name" && $3 == "检测状态" { print $2 }' "$work/events.txt" >"$work/status.txt"
  grep -qx '检测麦克风的运行情况\.\.\.' "$work/status.txt" ||
    fail "run: the status text's events did not reach the microphone step ($(tr '\n' ';' <"$work/status.txt"))"
  acc wait 麦克风和扬声器检测 20 >/dev/null || fail "run: no audio popup in the tree"
  sleep 1
  shot popup
  echo "at the list: $(date +%T)"
  # The microphone drop-down opened by name: its list (role 33) focused (0x4), and below it the
  # sound server's devices as list items (34), named, the chosen one selected (0x2) and focused;
  # Down moves both. The list is an object of its own that a reader walks into: handed out as
  # a bare child id, its items stayed out of reach.
  # Pressed while the test still starts, the drop-down button answers with a box first.
  for try in 1 2 3 4 5; do
    acc press 选择麦克风 >/dev/null || fail "list: 选择麦克风 not pressed"
    sleep 1
    acc tree >"$work/list.txt" 2>"$work/list.err"
    grep -q 'role=33 ' "$work/list.txt" && break
    acc press 确定 >/dev/null 2>&1
    sleep 1
  done
  grep -Eq 'role=33 state=0x[0-9a-f]*[4567cdef] ' "$work/list.txt" ||
    fail "list: no focused list in the drop-down ($(head -c 600 "$work/list.txt" | tr '\n' ';'))"
  # The items lie one level below the list, each with a name.
  items=$(awk '/role=33 / { d = match($0, /[^ ]/); inside = 1; next }
               inside { e = match($0, /[^ ]/); if (e <= d) inside = 0;
                        else if ($0 ~ /role=34 / && $0 !~ /name=""/) n++ }
               END { print n + 0 }' "$work/list.txt")
  [ "$items" -ge 2 ] ||
    fail "list: $items named list items below the list ($(grep -A6 'role=33 ' "$work/list.txt" | tr '\n' ';' | head -c 900))"
  chosen=$(grep -E 'role=34 state=0x[0-9a-f]*[67ef] ' "$work/list.txt" | head -1 | sed 's/.*name="\([^"]*\)".*/\1/')
  [ -n "$chosen" ] || fail "list: no item selected and focused ($(grep role=34 "$work/list.txt" | tr '\n' ';'))"
  shot dropdown
  xdotool key Down
  sleep 1
  acc tree >"$work/list2.txt" 2>/dev/null
  now=$(grep -E 'role=34 state=0x[0-9a-f]*[67ef] ' "$work/list2.txt" | head -1 | sed 's/.*name="\([^"]*\)".*/\1/')
  [ -n "$now" ] && [ "$now" != "$chosen" ] || fail "list: Down left the choice at '$now' (was '$chosen')"
  xdotool key Escape
  sleep 1
  acc tree | grep -q 'role=3[34] ' && fail "list: Esc did not close the drop-down"
  progress=$(acc value 检测进度)
  case $progress in
    [0-9] | [1-9][0-9] | 100) ;;
    *) fail "run: the progress reads '$progress'" ;;
  esac
  shot detecting
  echo "at the question: $(date +%T)"
  # Closing during the run asks first; the reader reads the box and keeps the program.
  acc press 关闭 Lessora >/dev/null || fail "run: the main window's 关闭 not pressed"
  acc wait 正在检测中,确认退出吗？ 20 >/dev/null || fail "run: no question before closing"
  acc tree >"$work/box.txt"
  grep -q 'role=18 .*name="提示"' "$work/box.txt" || fail "box: not a dialog called 提示"
  shot question
  acc press 取消 >/dev/null || fail "box: 取消 not pressed"
  sleep 1
  acc tree | grep -q '正在检测中' && fail "box: it did not end"
  kill -0 "$pid" 2>/dev/null || fail "box: 取消 ended the program"
  # The microphone's verdict pressed by name; the status text followed by its events to the
  # camera step.
  acc watch 检测状态 30 检测摄像头的运行情况... --press 可以正常使用 >"$work/camera.txt" ||
    fail "run: the status text's events did not follow to the camera step ($(tr '\n' ';' <"$work/camera.txt"))"
  echo "status texts heard: $(tr '\n' ' ' <"$work/status.txt") then $(tr '\n' ' ' <"$work/camera.txt")"
  echo "list items read: $items, chosen '$chosen', after Down '$now'"
  echo "progress read: $progress"
else
  fail "start: no dump ($(cat "$work/access.out" 2>/dev/null))"
fi
finish
window_test_end kestrelrun_access_wine
