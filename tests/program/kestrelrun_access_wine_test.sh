#!/usr/bin/env bash
# The real KestrelRun.exe under Wine read and driven through its accessibility tree alone, by
# our client in a second process (tools/accclient): the tree of the start page, the more menu
# and the about box pressed and read by name, the start of a detection by "开始检测", the status
# text as it changes, the progress and the audio popup, and the message box that closing during
# a run shows.
# Skips (exit 77) without a display.
#   kestrelrun_access_wine_test.sh KESTRELRUN.exe PREFIX HTTP_PORT ACCCLIENT.exe
set -u
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
program=$(readlink -f "$1") prefix=$(readlink -f "$2") http_port=$3 accclient=$(readlink -f "$4")
shots=
source "$repo/tests/support/window_test.sh"
shots=$work/shots
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

  # A detection started through the tree; the status text and the progress as they change.
  acc press 开始检测 >/dev/null || fail "run: 开始检测 not pressed"
  # The run begins with the microphone, whose popup waits for the user: the status text turns
  # from the layout's placeholder to that step, and the popup is a window readers see.
  acc watch 检测状态 8 检测麦克风的运行情况... >"$work/status.txt" ||
    fail "run: the status text did not reach the microphone step ($(tr '\n' ';' <"$work/status.txt"))"
  acc wait 麦克风和扬声器检测 20 >/dev/null || fail "run: no audio popup in the tree"
  progress=$(acc value 检测进度)
  case $progress in
    [0-9] | [1-9][0-9] | 100) ;;
    *) fail "run: the progress reads '$progress'" ;;
  esac
  shot detecting
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
  echo "status texts read: $(tr '\n' ' ' <"$work/status.txt")"
  echo "progress read: $progress"
else
  fail "start: no dump ($(cat "$work/access.out" 2>/dev/null))"
fi
finish
window_test_end kestrelrun_access_wine
