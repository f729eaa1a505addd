#!/usr/bin/env bash
# The real CamProbe.dll under Wine on a virtual display, against the virtual camera registered
# in a prefix of its own: no camera gives a valid empty list; the camera is listed by its
# Chinese name in code page 936; opened, the moving pattern fills the given rectangle of the
# driver's window and changes there and nowhere else; 20 opens and closes leave no thread and
# no handle of CamProbe's behind; a busy, a broken and a vanished camera fail with their codes
# and leave nothing running. Screenshots are kept in SHOTS. Skips (exit 77) without a display.
#   camprobe_wine_test.sh camprobe_driver.exe KestrelVirtualCamera.dll PREFIX [SHOTS]
set -u
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
driver=$1 vcam=$2 prefix=$3 shots=${4:-$(dirname "$prefix")/camprobe-shots}
source "$repo/tests/support/window_test.sh"
trap 'display_stop; rm -rf "$work"' EXIT
export LC_ALL=zh_CN.UTF-8
mkdir -p "$shots"
name="课堂虚拟摄像头"
name_hex=$(printf '%s' "$name" | iconv -f UTF-8 -t GBK | od -An -tx1 | tr -d ' \n')

# run ARGS...: runs the driver, its output in $work/out.txt
run() {
  "$repo/scripts/wine-run" "$driver" "$@" >"$work/out.txt" 2>&1
}
has() {
  grep -qx "$1" <(tr -d '\r' <"$work/out.txt") || fail "$2: no line '$1' in: $(tr '\r\n' '  ' <"$work/out.txt")"
}
# same_threads WHAT: the line "threads A B" shows as many threads after as before
same_threads() {
  local line
  line=$(tr -d '\r' <"$work/out.txt" | grep '^threads [0-9]* [0-9]*$')
  set -- $line
  [ "${2:-x}" = "${3:-y}" ] || fail "$WHAT: threads before and after: ${2:-?} ${3:-?}"
}
pixel() {  # pixel FILE X Y: the colour as srgb(r,g,b)
  convert "$1" -format "%[pixel:p{$2,$3}]" info:
}

gallery_prefix "$prefix" 96 && display_start || { fail "no display"; exit 1; }
"$repo/scripts/vcam" unregister

WHAT="no camera"
run list
has "list 1 code 0" "$WHAT"
has "count 0" "$WHAT"

"$repo/scripts/vcam" register "$vcam" "$name"
WHAT="one camera"
run list
has "count 1" "$WHAT"
has "camera 0 $name_hex" "$WHAT"

# The preview: two screenshots a second apart, once the driver names the rectangle.
WHAT="preview"
rm -f "$work"/marker.txt* "$shots"/*.png
"$repo/scripts/wine-run" "$driver" preview "Z:$work/marker.txt" >"$work/preview.txt" 2>&1 &
pid=$!
for i in $(seq 150); do
  [ -s "$work/marker.txt" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
if read -r x y w h < <(tr -d '\r' <"$work/marker.txt" 2>/dev/null); then
  sleep 0.3
  import -window root "$shots/preview-1.png"
  sleep 1
  import -window root "$shots/preview-2.png"
  # Busy: while the preview holds the camera, a second process cannot start it.
  WHAT="busy camera"
  run open 0
  has "open 0 code 5" "$WHAT"
  same_threads
  touch "$work/marker.txt.stop"
  WHAT="preview"
  # The changes lie inside the rectangle (the trimmed difference box within it) and exist.
  read -r bw bh bx by < <(convert "$shots/preview-1.png" "$shots/preview-2.png" \
    -compose difference -composite -threshold 0 -trim -format '%w %h %X %Y' info: | tr -d '+')
  if [ -z "${bw:-}" ] || [ "$bw" -le 1 ]; then
    fail "the two screenshots do not differ (box ${bw:-?}x${bh:-?})"
  elif [ "$bx" -lt "$x" ] || [ "$by" -lt "$y" ] || [ $((bx + bw)) -gt $((x + w)) ] ||
    [ $((by + bh)) -gt $((y + h)) ]; then
    fail "the screenshots differ outside the rectangle ${w}x${h}+$x+$y: ${bw}x${bh}+$bx+$by"
  fi
  # The picture fills the rectangle: its corners show the pattern (the frame counter's black
  # box at the top left aside), one pixel outside shows the window's own background.
  background="srgb(30,60,90)"
  for point in "$((x + w - 2)) $((y + 1))" "$((x + 1)) $((y + h - 2))" \
    "$((x + w - 2)) $((y + h - 2))"; do
    got=$(pixel "$shots/preview-1.png" $point)
    [ "$got" != "$background" ] || fail "no picture at $point: $got"
  done
  for point in "$((x - 1)) $((y + 10))" "$((x + w)) $((y + 10))" "$((x + 10)) $((y - 1))" \
    "$((x + 10)) $((y + h))"; do
    got=$(pixel "$shots/preview-1.png" $point)
    [ "$got" = "$background" ] || fail "drawn outside the rectangle at $point: $got"
  done
else
  touch "$work/marker.txt.stop"
  fail "the preview never opened: $(cat "$work/preview.txt")"
fi
wait "$pid" || fail "the preview run ended with $?: $(cat "$work/preview.txt")"
tr -d '\r' <"$work/preview.txt" >"$work/out.txt"
has "open 1 code 0" "$WHAT"
has "closed, picture gone" "$WHAT"
grep -E '^(open call|cpu)' "$work/out.txt"

WHAT="20 rounds"
run rounds 20
has "failures 0" "$WHAT"
same_threads
read -r _ before after _ allowed < <(tr -d '\r' <"$work/out.txt" | grep '^handles ')
[ $((after - before)) -le "${allowed:-0}" ] ||
  fail "$WHAT: handles grew from $before to $after, more than Wine's enumerator keeps ($allowed)"

WHAT="broken camera"
"$repo/scripts/vcam" register-broken
run list
has "count 2" "$WHAT"
broken=$(tr -d '\r' <"$work/out.txt" | sed -n 's/^camera \([0-9]\) 4b65737472656c2042726f6b656e2043616d657261$/\1/p')
run open "${broken:-9}"
has "open 0 code 4" "$WHAT"
same_threads

WHAT="vanished camera"
"$repo/scripts/vcam" unregister
"$repo/scripts/vcam" register "$vcam" "$name"
run vanish
has "removed 0" "$WHAT"
has "open 0 code 2" "$WHAT"
same_threads

WHAT="camera removed"
"$repo/scripts/vcam" unregister
run list
has "list 1 code 0" "$WHAT"
has "count 0" "$WHAT"
window_test_end "CamProbe Wine tests"
