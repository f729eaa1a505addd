#!/usr/bin/env bash
# The tester programs under Wine on a virtual display, copied into a Test folder under a Chinese
# path: each shows its question box, a real key press or click answers it, and the program ends
# leaving 1 (yes), 2 (no) or 0 (Esc, Cancel, the close box) in its result file. Then the real
# NetProbe.dll starts them from its tester exports and hands out the verdicts given. Skips
# (exit 77) without a display server.
#   testers_wine_test.sh MicProbe.exe CamProbe.exe TESTER_EXPORTS.exe NetProbe.dll PREFIX
set -u
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
mic=$1 cam=$2 exports=$3 netprobe=$4 prefix=$5
source "$repo/tests/support/window_test.sh"
trap 'display_stop; rm -rf "$work"' EXIT
app="$work/课堂 工具"
mkdir -p "$app/Test"
cp "$mic" "$app/Test/MicProbe.exe"
cp "$cam" "$app/Test/CamProbe.exe"
export LC_ALL=zh_CN.UTF-8
mic_title="Lessora 麦克风测试" cam_title="Lessora 摄像头测试"

# start PROGRAM: runs it in the background; sets $pid
start() {
  "$repo/scripts/wine-run" "$1" >"$work/run.txt" 2>&1 &
  pid=$!
}
# stop: ends a program that is still running
stop() {
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
}
# answer TITLE ACTION: waits for the box, then runs the xdotool ACTION (the box's geometry in
# $x $y $w $h); fails when no box shows
answer() {
  local title=$1 action=$2 window="" i x y w h
  for i in $(seq 150); do
    window=$(xdotool search --name "^$title\$" 2>/dev/null | head -1)
    [ -n "$window" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
  done
  [ -n "$window" ] || { fail "no box titled $title ($(cat "$work/run.txt"))"; return 1; }
  sleep 0.5  # the box takes the keyboard once shown
  eval "$(xdotool getwindowgeometry --shell "$window" |
    sed 's/^X=/x=/;s/^Y=/y=/;s/^WIDTH=/w=/;s/^HEIGHT=/h=/')"
  eval "$action"
}
# ended WHAT: waits up to 30 s (a loaded machine ends a Wine program late) for the program's
# end; fails unless it ended with exit code 0
ended() {
  local i
  for i in $(seq 300); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    fail "$1: still running"
    stop
    return 1
  fi
  wait "$pid" || { fail "$1: exit code $?"; return 1; }
}
# verdict PROGRAM TITLE RESULT EXPECTED ACTION
verdict() {
  local program=$1 title=$2 result=$3 expected=$4 action=$5 got
  rm -f "$app/Test/$result"
  start "$app/Test/$program"
  answer "$title" "$action" || { stop; return; }
  ended "$program after '$action'" || return
  got=$(od -An -c "$app/Test/$result" 2>/dev/null | tr -s ' ')
  [ "$got" = " $expected \r \n" ] || fail "$program: '$action' left '$got' in $result, not $expected"
}

gallery_prefix "$prefix" 96 && display_start || { fail "no display"; exit 1; }
# Yes is the default button; N and Y are the buttons' mnemonics; the close box sits at the
# title bar's right end.
verdict MicProbe.exe "$mic_title" MicrophoneTextResult.txt 1 "xdotool key Return"
verdict MicProbe.exe "$mic_title" MicrophoneTextResult.txt 2 "xdotool key n"
verdict MicProbe.exe "$mic_title" MicrophoneTextResult.txt 0 "xdotool key Escape"
verdict MicProbe.exe "$mic_title" MicrophoneTextResult.txt 0 \
  'xdotool mousemove $((x + w - 12)) $((y + 11)) click 1'
verdict CamProbe.exe "$cam_title" CameraTextResult.txt 1 "xdotool key y"
verdict CamProbe.exe "$cam_title" CameraTextResult.txt 2 "xdotool key Tab Return"
verdict CamProbe.exe "$cam_title" CameraTextResult.txt 0 "xdotool key alt+F4"

# The library starts the testers beside the program and reads and deletes their files.
cp "$exports" "$app/"
cp "$netprobe" "$app/"
for dll in $(x86_64-w64-mingw32-objdump -p "$netprobe" "$exports" | sed -n 's/.*DLL Name: \(lib.*\.dll\)/\1/p'); do
  [ -f "$(dirname "$netprobe")/$dll" ] && cp "$(dirname "$netprobe")/$dll" "$app/"
done
start "$app/$(basename "$exports")"
if answer "$mic_title" "xdotool key Return" && answer "$cam_title" "xdotool key n" &&
  ended "the tester exports"; then
  tr -d '\r' <"$work/run.txt" >"$work/exports.txt"
  grep -qx 'GetMicrophoneTest 1 1 0' "$work/exports.txt" ||
    fail "the microphone export did not hand out 1 from its tester: $(cat "$work/run.txt")"
  grep -qx 'GetCameraTest 1 2 0' "$work/exports.txt" ||
    fail "the camera export did not hand out 2 from its tester: $(cat "$work/run.txt")"
  ls "$app/Test"/*.txt >/dev/null 2>&1 && fail "result files left behind: $(ls "$app/Test")"
else
  stop
fi
window_test_end "tester Wine tests"
