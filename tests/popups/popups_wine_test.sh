#!/usr/bin/env bash
# The audio popup under Wine with the real MicProbe.dll and NetProbe.dll, the private sound
# server's devices and real X clicks (xdotool), read back through the popup host's state dump and
# screenshots: the device lists with the default last, the test tone's bars where and as high as
# its amplitude puts them, a device chosen in the dropdown reaching MicProbe, the sliders, the
# ignored close request, each verdict button and the popup under a high-contrast theme. Skips
# (exit 77) without a display server.
# With the virtual camera's DLL it also shows the camera popup over CamProbe.dll: the camera
# listed, the open button's live picture page, the work button reaching NetProbe.
#   popups_wine_test.sh POPUPHOST.exe PREFIX_BASE [VCAM.dll [SHOTS_DIR]]   (or $KESTREL_SHOTS)
set -u
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
host=$1 base=$2 vcam=${3:-} shots=${4:-${KESTREL_SHOTS:-}}
source "$repo/tests/support/window_test.sh"
pid=
trap 'close_host; display_stop; rm -rf "$work"' EXIT

[ -n "${PULSE_SERVER:-}" ] || { echo "SKIPPED: no sound server (PULSE_SERVER)"; exit 77; }

# open_host [OPTION...]: runs the popup host with its dump; sets $pid
open_host() {
  rm -f "$work/dump.txt"
  setsid "$repo/scripts/wine-run" "$host" --dump "Z:$work/dump.txt" --exit-after 60000 "$@" \
    >"$work/run.txt" 2>&1 &
  pid=$!
  local i
  for i in $(seq 300); do
    [ -f "$work/dump.txt" ] && grep -q '^window [0-9]' "$work/dump.txt" && return 0
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  cat "$work/run.txt"
  return 1
}
close_host() {
  [ -n "$pid" ] || return 0
  kill -- -"$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  pid=
}
# A dump written after now.
fresh_dump() {
  local i
  rm -f "$work/dump.txt"
  for i in $(seq 50); do
    [ -f "$work/dump.txt" ] && return 0
    sleep 0.1
  done
  return 1
}
value() { grep -m1 "^$1 " "$work/dump.txt" | cut -d' ' -f2-; }
# wait_for REGEX [TRIES]: until a fresh dump holds a line matching it (10 s by default).
wait_for() {
  local i
  for i in $(seq "${2:-50}"); do
    fresh_dump && grep -Eq "$1" "$work/dump.txt" && return 0
  done
  return 1
}
# The screen point at the centre of control NAME ("at NAME x y w h", body pixels).
centre() {
  local wx wy x y w h
  read -r wx wy _ <<<"$(value window)"
  read -r x y w h <<<"$(value "at $1" | cut -d" " -f2-)"
  echo $((wx + x + w / 2)) $((wy + y + h / 2))
}
click_at() {
  xdotool mousemove "$1" "$2"
  sleep 0.2
  xdotool click 1
}
shot() { import -window root "$1"; }

gallery_prefix "$base-96" 96 && display_start || { fail "no display"; exit 1; }

if open_host; then
  # --- the device lists: the daemon's microphones and speakers, the default last ---
  wait_for '^initState 1' 100 || fail "the loop-back test did not start: $(value initState)"
  mics=$(grep -c '^mic ' "$work/dump.txt")
  speakers=$(grep -c '^speaker ' "$work/dump.txt")
  [ "$mics" -ge 2 ] || fail "lists $mics microphones, the daemon has at least 2"
  [ "$speakers" -ge 2 ] || fail "lists $speakers speakers, the daemon has at least 2"
  grep -q '^mic Virtual-Microphone' "$work/dump.txt" || fail "no Virtual-Microphone in the list"
  grep -q '^speaker Virtual-Speakers' "$work/dump.txt" || fail "no Virtual-Speakers in the list"
  last_mic=$(grep '^mic ' "$work/dump.txt" | tail -1 | cut -d' ' -f2- | cut -f1)
  [ -n "$last_mic" ] || fail "the last microphone is the empty entry: no default was found"
  [ "$(value micEdit)" = "$last_mic" ] || fail "the edit shows '$(value micEdit)', not the last (default) '$last_mic'"

  # --- the tone's bars: amplitude 6000 gives 47 pixels, 12000 gives 95 ---
  wait_for '^bars .*(9[45]|4[67])' 100 || fail "no bar of the tone's height: $(value bars)"
  top=$(value bars | tr ' ' '\n' | tr -d - | sort -n | tail -1)
  case $top in 46 | 47 | 94 | 95) ;; *) fail "the tallest bar is $top pixels, not 47 or 95" ;; esac
  read -r wx wy _ <<<"$(value window)"
  shot "$work/audio.png"
  [ -n "$shots" ] && cp "$work/audio.png" "$shots/measured.png"
  # Each bar is a column of light pixels at x = 225 + 5i inside the dark panel; the tallest
  # column's length is the bar's height (its round caps add up to 2 pixels).
  measured=$(python3 - "$work/audio.png" "$wx" "$wy" <<'PY'
import sys, subprocess
png, wx, wy = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
raw = subprocess.run(["convert", png, "-crop", "300x140+%d+%d" % (wx + 223, wy + 100), "+repage",
                      "-colorspace", "gray", "-depth", "8", "gray:-"], capture_output=True).stdout
w, h = 300, 140
tallest, off = 0, 0
for i in range(60):
    x = 2 + 5 * i
    run = sum(1 for y in range(h) if raw[y * w + x] > 200)
    tallest = max(tallest, run)
    off += sum(1 for y in range(h) if raw[y * w + x + 2] > 200 or raw[y * w + x - 2] > 200)
print(tallest, off)
PY
)
  read -r tallest between <<<"$measured"
  [ "${tallest:-0}" -ge 44 ] && [ "${tallest:-0}" -le 98 ] ||
    fail "the screenshot's tallest bar is ${tallest:-?} pixels, not about 47 or 95"
  [ "${between:-1}" -eq 0 ] || fail "light pixels between the bars' columns: $between"

  # --- the microphone dropdown with real clicks ---
  click_at $(centre btn_popwnd_audio_dropdown_1)
  wait_for '^dropdown [0-9]' || fail "the microphone dropdown did not open"
  read -r _ dx dy dw dh <<<"$(value dropdown | sed 's/^/d /')"
  expected=$((mics * 30 + 2))
  [ "$expected" -gt 120 ] && expected=120
  [ "${dh:-0}" -eq "$expected" ] || fail "the dropdown is ${dh:-?} high, not $expected for $mics items"
  sleep 0.3
  [ -n "$shots" ] && shot "$shots/popup_audio_dropdown.png"
  first_name=$(grep '^mic ' "$work/dump.txt" | head -1 | cut -d' ' -f2- | cut -f1)
  first_id=$(grep '^mic ' "$work/dump.txt" | head -1 | cut -f2)
  click_at $((dx + dw / 2)) $((dy + 16))
  wait_for "^call SetSpecifiedIDMicrophone $(printf '%s' "$first_id" | sed 's/[][\.*^${}]/\\&/g')" ||
    fail "the chosen microphone did not reach MicProbe ($(grep '^call Set' "$work/dump.txt" | tr '\n' ';'))"
  [ "$(value micEdit)" = "$first_name" ] || fail "the edit shows '$(value micEdit)' after choosing '$first_name'"
  # Wine has no policy-configuration object: the switch fails with code 3 and its message box
  # comes from the popup's timer; Enter closes it.
  if grep -q "^call SetSpecifiedIDMicrophone .* -> 0 code 3" "$work/dump.txt"; then
    sleep 0.5
    xdotool key Return
    sleep 0.3
  fi

  # --- the sliders ---
  read -r _ x y w h <<<"$(value "at slider_speaker")"
  click_at $((wx + x + w * 3 / 4)) $((wy + y + h / 2))
  wait_for '^call SetSpeakerVolume [0-9]' || fail "the speaker slider set no volume"
  read -r _ x y w h <<<"$(value "at slider_audio")"
  click_at $((wx + x + w / 4)) $((wy + y + h / 2))
  wait_for '^call SetMicrophoneVolume [0-9]' || fail "the microphone slider set no volume"
  grep -q '^micSlider 0 ' "$work/dump.txt" && fail "the microphone slider stays at 0"

  # --- the close request is ignored ---
  click_at $(centre AudioAnimator)
  xdotool key alt+F4
  sleep 0.5
  fresh_dump
  grep -q '^window hidden' "$work/dump.txt" && fail "the close request hid the popup"

  # --- the work button: hidden, stopped, reported ---
  click_at $(centre btn_popwnd_audio_work)
  wait_for '^window hidden' || fail "the work button did not hide the popup"
  grep -q '^verdict 1$' "$work/dump.txt" || fail "verdict $(value verdict) after the work button"
  grep -q '^call StopTestMicrophone' "$work/dump.txt" || fail "the work button did not stop the test"
  grep -q '^result SetMicrophoneTestResult 1 -> 1' "$work/dump.txt" ||
    fail "NetProbe did not get verdict 1 ($(grep '^result' "$work/dump.txt" | tr '\n' ';'))"
  close_host
else
  fail "the popup host did not show the audio popup"
fi

# --- the other two verdict buttons, each in a run of its own ---
for pair in "btn_popwnd_audio_error 2" "btn_popwnd_audio_close 0"; do
  read -r button verdict <<<"$pair"
  if open_host; then
    wait_for '^initState 1' 100
    read -r wx wy _ <<<"$(value window)"
    click_at $(centre "$button")
    wait_for '^window hidden' || fail "$button did not hide the popup"
    grep -q "^result SetMicrophoneTestResult $verdict -> 1" "$work/dump.txt" ||
      fail "$button: NetProbe did not get verdict $verdict"
    grep -q '^call StopTestMicrophone' "$work/dump.txt" || fail "$button did not stop the test"
    close_host
  else
    fail "the popup host did not start for $button"
  fi
done

# The live popup for the README.
if [ -n "$shots" ] && open_host; then
  wait_for '^bars .*9[45]' 100
  xdotool mousemove 5 5  # no hover or tooltip in the picture
  sleep 0.5
  shot "$shots/popup_audio.png"
  close_host
fi
# inked PNG X Y W H: how many pixels of the box (body pixels of the popup at X,Y) are ink, that
# is, far from the box's corner colour (the window colour a high-contrast theme gives the panel).
inked() {
  python3 - "$@" <<'PY'
import sys, subprocess
png, x, y, w, h = sys.argv[1], *map(int, sys.argv[2:])
raw = subprocess.run(["convert", png, "-crop", "%dx%d+%d+%d" % (w, h, x, y), "+repage",
                      "-depth", "8", "rgb:-"], capture_output=True).stdout
px = lambda i, j: raw[3 * (j * w + i):3 * (j * w + i) + 3]
bg = px(0, 0)
print(sum(1 for j in range(h) for i in range(w)
          if sum(abs(int(a) - int(b)) for a, b in zip(px(i, j), bg)) > 300))
PY
}
# The microphone picture (96 x 96 at 62,76) drawn in the text colour: its capsule, stand and
# base cover well over 500 pixels; drawn white as it is made, it vanished on a light theme.
mic_inked() {
  local n
  n=$(inked "$1" $(($2 + 62)) $(($3 + 76)) 96 96)
  [ "${n:-0}" -ge 500 ] || fail "$4: the microphone picture has ${n:-?} pixels against the window colour"
}

# --- under a high-contrast theme (forced: Wine has none): the system's colours as they are, so
# the panel takes the window colour instead of its own dark blue and the bars the text colour ---
if open_host --high-contrast; then
  wait_for '^bars .*(9[45]|4[67])' 100 || fail "high contrast: no bar of the tone's height: $(value bars)"
  xdotool mousemove 5 5
  sleep 0.5
  read -r wx wy _ <<<"$(value window)"
  shot "$work/contrast.png"
  [ -n "$shots" ] && cp "$work/contrast.png" "$shots/popup_audio_high_contrast.png"
  measured=$(python3 - "$work/contrast.png" "$wx" "$wy" <<'PY'
import sys, subprocess
png, wx, wy = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
w, h = 300, 140
raw = subprocess.run(["convert", png, "-crop", "%dx%d+%d+%d" % (w, h, wx + 223, wy + 100), "+repage",
                      "-depth", "8", "rgb:-"], capture_output=True).stdout
px = lambda x, y: raw[3 * (y * w + x):3 * (y * w + x) + 3]
blue = sum(1 for y in range(h) for x in range(w) if px(x, y)[2] > px(x, y)[0] + 40)
# The bars are the columns whose colour differs most from the background's (the corner's).
bg = px(0, 0)
far = lambda c: sum(abs(int(a) - int(b)) for a, b in zip(c, bg)) > 300
tallest = max(sum(1 for y in range(h) if far(px(2 + 5 * i, y))) for i in range(60))
print(blue, tallest)
PY
)
  read -r blue tallest <<<"$measured"
  [ "${blue:-1}" -eq 0 ] || fail "high contrast: $blue pixels of the panel's own blue"
  [ "${tallest:-0}" -ge 44 ] && [ "${tallest:-0}" -le 98 ] ||
    fail "high contrast: the tallest bar is ${tallest:-?} pixels against the window colour"
  mic_inked "$work/contrast.png" "$wx" "$wy" "high contrast"
  close_host
else
  fail "the popup host did not start with --high-contrast"
fi
# --- a dark high-contrast theme: the prefix's system colours white on black for one start,
# then back as they were ---
colors_key='HKCU\Control Panel\Colors'
saved_colors=$("$repo/scripts/wine-run" reg query "$colors_key" 2>/dev/null | tr -d '\r')
set_color() { "$repo/scripts/wine-run" reg add "$colors_key" /v "$1" /t REG_SZ /d "$2" /f >/dev/null 2>&1; }
for pair in "Window=0 0 0" "WindowText=255 255 255" "Hilight=0 255 255" "HilightText=0 0 0" \
  "GrayText=0 255 0" "ButtonFace=0 0 0" "ButtonText=255 255 255" "HotTrackingColor=255 255 0"; do
  set_color "${pair%%=*}" "${pair#*=}"
done
/usr/lib/wine/wineserver -k 2>/dev/null
/usr/lib/wine/wineserver -w 2>/dev/null
if open_host --high-contrast; then
  wait_for '^bars .*(9[45]|4[67])' 100 || fail "dark contrast: no bar of the tone's height: $(value bars)"
  xdotool mousemove 5 5
  sleep 0.5
  read -r wx wy _ <<<"$(value window)"
  shot "$work/dark.png"
  [ -n "$shots" ] && cp "$work/dark.png" "$shots/popup_audio_high_contrast_dark.png"
  corner=$(convert "$work/dark.png" -crop "1x1+$((wx + 30))+$((wy + 60))" -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}' | head -1)
  [ "$corner" = "#000000" ] || fail "dark contrast: the panel is $corner, not the window colour black"
  mic_inked "$work/dark.png" "$wx" "$wy" "dark contrast"
  close_host
else
  fail "the popup host did not start under the dark theme"
fi
# Back to the colours the prefix had (those it did not have set, removed).
for name in Window WindowText Hilight HilightText GrayText ButtonFace ButtonText HotTrackingColor; do
  old=$(awk -v n="$name" '$1 == n && $2 == "REG_SZ" { $1 = $2 = ""; sub(/^ +/, ""); print }' <<<"$saved_colors")
  if [ -n "$old" ]; then
    set_color "$name" "$old"
  else
    "$repo/scripts/wine-run" reg delete "$colors_key" /v "$name" /f >/dev/null 2>&1
  fi
done
/usr/lib/wine/wineserver -k 2>/dev/null
/usr/lib/wine/wineserver -w 2>/dev/null

# --- the camera popup over the virtual camera ---
if [ -n "$vcam" ]; then
  "$repo/scripts/vcam" register "$vcam" >/dev/null 2>&1 || fail "the virtual camera did not register"
  if open_host --video; then
    grep -q '^camera [0-9]* Kestrel Virtual Camera' "$work/dump.txt" ||
      fail "the virtual camera is not listed ($(grep '^camera' "$work/dump.txt" | tr '\n' ';'))"
    [ "$(value cameraEdit)" = "Kestrel Virtual Camera" ] || fail "the edit shows '$(value cameraEdit)'"
    read -r wx wy _ <<<"$(value window)"
    click_at $(centre btn_popwnd_video_open)
    wait_for '^video [0-9]' || fail "the open button showed no picture window"
    grep -q '^page 1' "$work/dump.txt" || fail "the open button left page $(value page)"
    sleep 1
    [ -n "$shots" ] && shot "$shots/popup_video.png"
    click_at $(centre btn_popwnd_video_work)
    wait_for '^window hidden' || fail "the camera work button did not hide the popup"
    grep -q '^result SetCameraTestResult 1 -> 1' "$work/dump.txt" ||
      fail "NetProbe did not get the camera verdict 1"
    close_host
  else
    fail "the popup host did not show the camera popup"
  fi
fi
window_test_end "popups_wine"
