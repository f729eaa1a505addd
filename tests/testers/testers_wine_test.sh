#!/usr/bin/env bash
# The tester programs under Wine on a virtual display, copied into a Test folder under a Chinese
# path: each shows its question box, a real key press or click answers it, and the program ends
# leaving 1 (yes), 2 (no) or 0 (Esc, Cancel, the close box) in its result file. Skips (exit 77)
# without a display server.
#   testers_wine_test.sh MicProbe.exe CamProbe.exe PREFIX
set -u
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
mic=$1 cam=$2 prefix=$3
source "$repo/scripts/wine-display"
if missing=$(display_missing); then
  echo "SKIPPED: no $missing for the Wine window tests"
  exit 77
fi
work=$(mktemp -d)
trap 'display_stop; rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
folder="$work/课堂 工具/Test"
mkdir -p "$folder"
cp "$mic" "$folder/MicProbe.exe"
cp "$cam" "$folder/CamProbe.exe"
export LC_ALL=zh_CN.UTF-8

# answer PROGRAM TITLE RESULT EXPECTED ACTION...: runs the tester, waits for its box, answers it
# with the xdotool ACTION (window geometry in $x $y $w $h) and checks the exit and the file.
answer() {
  local program=$1 title=$2 result=$3 expected=$4 action=$5 pid window="" i x y w h
  rm -f "$folder/$result"
  "$repo/scripts/wine-run" "$folder/$program" >"$work/run.txt" 2>&1 &
  pid=$!
  for i in $(seq 150); do
    window=$(xdotool search --name "^$title\$" 2>/dev/null | head -1)
    [ -n "$window" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
  done
  if [ -z "$window" ]; then
    fail "$program: no box titled $title ($(cat "$work/run.txt"))"
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    return
  fi
  sleep 0.5  # the box takes the keyboard once shown
  eval "$(xdotool getwindowgeometry --shell "$window" | sed 's/^X=/x=/;s/^Y=/y=/;s/^WIDTH=/w=/;s/^HEIGHT=/h=/')"
  eval "$action"
  for i in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    fail "$program: still running after '$action'"
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    return
  fi
  wait "$pid"
  local rc=$?
  [ $rc -eq 0 ] || fail "$program: exit code $rc after '$action'"
  local got
  got=$(od -An -c "$folder/$result" 2>/dev/null | tr -s ' ')
  [ "$got" = " $expected \r \n" ] || fail "$program: '$action' left '$got' in $result, not $expected"
}

gallery_prefix "$prefix" 96 && display_start || { fail "no display"; exit 1; }
mic_title="Lessora 麦克风测试" cam_title="Lessora 摄像头测试"
# Yes is the default button; N and Y are the buttons' mnemonics; the close box sits at the
# title bar's right end.
answer MicProbe.exe "$mic_title" MicrophoneTextResult.txt 1 "xdotool key Return"
answer MicProbe.exe "$mic_title" MicrophoneTextResult.txt 2 "xdotool key n"
answer MicProbe.exe "$mic_title" MicrophoneTextResult.txt 0 "xdotool key Escape"
answer MicProbe.exe "$mic_title" MicrophoneTextResult.txt 0 \
  'xdotool mousemove $((x + w - 12)) $((y + 11)) click 1'
answer CamProbe.exe "$cam_title" CameraTextResult.txt 1 "xdotool key y"
answer CamProbe.exe "$cam_title" CameraTextResult.txt 2 "xdotool key Tab Return"
answer CamProbe.exe "$cam_title" CameraTextResult.txt 0 "xdotool key alt+F4"
[ $failures -eq 0 ] && echo "tester Wine tests passed"
exit $((failures > 0))
