# Sourced by the program's Wine test and scripts/demo: drives the real KestrelRun.exe under Wine
# as a user would, with real X clicks (xdotool), and reads back what its windows show through
# the program's development state dump (KESTREL_UI_DUMP), its log and screenshots.
#
# The caller sets $repo, $program (KestrelRun.exe), $work (a scratch folder), $shots (where the
# screenshots go) and exports WINEPREFIX and DISPLAY; `drive_environment` exports the rest.
#
#   drive_environment              the simulated tools first on the search path, the stand-in
#                                  adapter table, the browser stand-in's log $KESTREL_OPENED_LOG
#   machine_registry PROFILE_DIR   the prefix's release values as the machine records them
#   launch PROFILE NAME / start    runs the program (start also waits until its dump says ready)
#   fresh, wait_for, click, click_in, shown, shot, ends, finish, box_button ...
#   detect NAME                    one detection through the popups, from the start button to the
#                                  results page; prints what the window shows at each step
source "$repo/tests/support/tree_dump.sh"

pids=()
# The speed-test payload's rate (bytes a second) for runs compared with the console driver's:
# the unpaced speed follows the machine's load, and with it the score. 1.9 MB/s is 14.5 Mbit/s,
# in the middle of its scoring band (10 to 19 Mbit/s): a third slower or faster still scores
# the same, and it is well below what a loaded machine delivers.
results_rate=1900000

drive_environment() {
  export KESTREL_OPENED_LOG=$work/opened.txt
  export PATH=$repo/tests/usagelink/standin:$PATH
  export WINEPATH="Z:$(dirname "$(dirname "$program")")/simbin" KESTREL_DLL_OVERRIDES=iphlpapi=n
}

# The names the machine profiles set under CurrentVersion; the prefix's own values are kept in
# $WINEPREFIX/.kestrel-release the first time, so each profile starts from them.
machine_registry() {
  local key='HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion' saved=$WINEPREFIX/.kestrel-release
  local reg=$work/machine.reg name value
  if [ ! -f "$saved" ]; then
    for name in $(cat "$repo"/testdata/profiles/*/registry.txt 2>/dev/null | grep -v '^#' |
      cut -d= -f1 | sort -u); do
      value=$("$repo/scripts/wine-run" reg query "$key" /v "$name" 2>/dev/null | tr -d '\r' |
        awk -v n="$name" '$1 == n && $2 == "REG_SZ" { sub(/^[ \t]*[^ \t]+[ \t]+REG_SZ[ \t]+/, ""); print; exit }')
      if [ -n "$value" ]; then echo "$name=$value"; else echo "$name"; fi
    done >"$saved.part" && mv "$saved.part" "$saved"
  fi
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n[%s]\r\n' "HKEY_LOCAL_MACHINE${key#HKLM}"
    # The prefix's values (absent ones deleted), then the machine's over them.
    while IFS='=' read -r name value; do
      if grep -q "^$name=" "$saved"; then
        printf '"%s"="%s"\r\n' "$name" "$(grep -m1 "^$name=" "$saved" | cut -d= -f2-)"
      else
        printf '"%s"=-\r\n' "$name"
      fi
    done < <(cut -d= -f1 "$saved")
    grep -v '^#' "$1/registry.txt" 2>/dev/null | while IFS='=' read -r name value; do
      [ -n "$name" ] && printf '"%s"="%s"\r\n' "$name" "$value"
    done
  } | { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE; } >"$reg"
  "$repo/scripts/wine-run" regedit /S "Z:$reg" >/dev/null 2>&1
}

# The locale a profile runs under: Chinese (code page 936) for names ending in -zh.
profile_locale() { case $1 in *-zh) echo zh_CN.UTF-8 ;; *) echo en_US.UTF-8 ;; esac; }
# A profile named by its folder (an absolute path), a folder in $work or one of testdata/profiles.
profile_dir() {
  case $1 in
    /*) echo "$1" ;;
    *) if [ -d "$work/$1" ]; then echo "$work/$1"; else echo "$repo/testdata/profiles/$1"; fi ;;
  esac
}

# launch PROFILE NAME: runs the program on a machine profile with its dump in $work/NAME.txt;
# sets $pid and $dump; the exit code lands in $work/NAME.rc once the program has ended, the
# commands it ran in $work/NAME.calls (a repeated command gets the profile's next answer).
launch() {
  dump=$work/$2.txt
  rm -f "$dump" "$work/$2.rc" "$work/$2.calls"
  LC_ALL=$(profile_locale "$1") KESTREL_PROFILE="Z:$(profile_dir "$1")" KESTREL_UI_DUMP="Z:$dump" \
    KESTREL_SIMLOG="Z:$work/$2.calls" \
    setsid bash -c '"$1" "$2" >"$3.out" 2>&1; echo $? >"$3.rc"' _ "$repo/scripts/wine-run" \
    "$program" "$work/$2" &
  pid=$!
  pids+=("$pid")
}
# start PROFILE NAME: launch, then wait for the first dump (60 s at most).
start() {
  local i
  launch "$@"
  # The window shows at once; its start button works once the start-up work is done.
  for i in $(seq 600); do
    [ -f "$dump" ] && grep -q '^state .* ready=1' "$dump" 2>/dev/null && return 0
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  return 1
}
# How many of the program's X windows are mapped.
mapped() { xdotool search --onlyvisible --classname KestrelRun.exe 2>/dev/null | wc -l; }
# wait_mapped N: until more than N of the program's X windows are mapped (60 s at most).
wait_mapped() {
  local i
  for i in $(seq 600); do
    [ "$(mapped)" -gt "$1" ] && return 0
    sleep 0.1
  done
  return 1
}
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
# section_field SECTION NAME KEY: a KEY= value of NAME in the tree after the line SECTION.
section_field() {
  sed -n "/^$1\$/,\$p" "$work/dump.txt" | grep " name=$2 " | grep ' shown=1 ' | head -1 |
    sed "s/.* $3=\([^ ]*\).*/\1/"
}
# section_text SECTION NAME: the text of NAME in the tree after the line SECTION.
section_text() {
  sed -n "/^$1\$/,\$p" "$work/dump.txt" | grep " name=$2 " | grep ' shown=1 ' | head -1 |
    sed -n 's/.* text=\(.*\)/\1/p'
}
shown() { [ "$(field "$1" shown)" = 1 ]; }
# The text of the shown control NAME of the main window (text= ends the dump's line).
text_of() {
  grep " name=$1 " "$work/dump.txt" | grep ' shown=1 ' | head -1 | sed -n 's/.* text=\(.*\)/\1/p'
}
shot() { import -window root "$shots/$1.png"; }
# acc COMMAND ARG...: our accessibility client ($accclient) as a second process of the prefix,
# reading and pressing the program's controls by name (tools/accclient); prints what it read.
acc() { LC_ALL=zh_CN.UTF-8 WINEDEBUG=${ACC_WINEDEBUG:--all} "$repo/scripts/wine-run" "$accclient" "$@"; }
# The title of the program's topmost mapped X window ("Lessora" for the main window, "" for the
# popups and boxes, which have none).
top_window() {
  local id
  for id in $(xwininfo -root -children | sed -n 's/^ *\(0x[0-9a-f]*\) .*kestrelrun.exe.*/\1/p'); do
    xwininfo -id "$id" | grep -q 'Map State: IsViewable' || continue
    xwininfo -id "$id" | sed -n 's/^xwininfo: Window id: [^ ]* "\{0,1\}\([^"]*\)"\{0,1\}$/\1/p'
    return 0
  done
}
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

# Driving by keys alone (xdotool keys, no clicks) into the window that has the keyboard.
# focus_to NAME [SECTION]: Tab until the dump shows NAME focused (in the tree after the line
# SECTION, the main window's when none); 40 presses at most.
focus_to() {
  local i tree
  for i in $(seq 40); do
    # A stale dump would say nothing of where the last Tab went.
    fresh || { fail "the window wrote no state for 5 s while Tab went to $1"; return 1; }
    if [ -n "${2:-}" ]; then tree=$(sed -n "/^$2\$/,\$p" "$work/dump.txt"); else tree=$(cat "$work/dump.txt"); fi
    grep " name=$1 " <<<"$tree" | grep ' shown=1 ' | grep -q ' focus=1 ' && return 0
    xdotool key --clearmodifiers Tab
    sleep 0.15
  done
  fail "Tab never reached $1"
  return 1
}
# press NAME / press_in SECTION NAME: the keyboard's counterparts of click and click_in
# (the focus moved there by Tab, then Enter).
press() { focus_to "$1" && keyboard_ours || return 1; xdotool key --clearmodifiers Return; sleep 0.3; }
press_in() {
  focus_to "$2" "$1" && keyboard_ours || return 1
  xdotool key --clearmodifiers Return
  sleep 0.3
}
# keyboard_ours: the X keyboard focus lies on one of the program's windows (Wine sets it on each
# activation, there being no window manager); otherwise a key press would go nowhere. On a busy
# machine the focus was seen on the root window on the results page, after the popups had gone,
# until Wine handed it on: waited for, 20 s at most.
keyboard_ours() {
  local focused i
  for i in $(seq 200); do
    focused=$(xdotool getwindowfocus 2>/dev/null)
    xwininfo -root -children | grep -q "^ *$(printf '0x%x' "${focused:-0}") .*kestrelrun.exe" && return 0
    sleep 0.1
  done
  fail "the keyboard lies on window ${focused:-none} ($(xwininfo -id "${focused:-0}" 2>/dev/null |
    sed -n 's/^xwininfo: //p')), not the program's"
  return 1
}
# What detect and report_page use to press a control: the mouse unless a caller sets
# drive_click=press drive_click_in=press_in for a run by keys alone.
drive_click=click drive_click_in=click_in

# detect NAME: one detection as a user makes it, the program started as NAME already showing its
# start page with both agreement boxes ticked: the start button, the audio popup's "works", the
# camera popup's open button and, once the picture shows, its "works", then the results page.
# Prints what the window shows as it changes ("status TEXT (P%)", "popup audio: ...",
# "score N", "problems N"), takes the screenshots detect-*.png and leaves the lines in
# $work/NAME.shown. Returns 1 when the run ends elsewhere (a box, the start page) or takes over
# 10 minutes. A caller's function detect_popup_shown, if defined, runs when the audio popup shows.
detect() {
  local shown=$work/$1.shown last= status i ended=1 placeholder=
  : >"$shown"
  # The status label's own text in the layout, shown until the first step names itself.
  placeholder=$(sed -n 's/.*name="detect_pro_showinfo_1".*>\(.*\)<\/text>.*/\1/p' \
    "$repo/kestrelrun/res/layout/main_wnd.xml")
  $drive_click btn_sys_run || return 1
  shot detect-1-detecting
  for i in $(seq 3000); do
    fresh || continue
    status=$(text_of detect_pro_showinfo_1)
    # One line a status text; a step's bar moves when it ends, so the first reading is shown.
    if shown detect_pro_showinfo_1 && [ -n "$status" ] && [ "$status" != "$last" ] &&
      { [ -n "$last" ] || [ "$status" != "$placeholder" ]; }; then
      echo "status $status ($(field pro_main_detect value)%)" | tee -a "$shown"
      last=$status
    fi
    if grep -q '^popup audio$' "$work/dump.txt"; then
      echo "popup audio: microphone $(section_text 'popup audio' popwnd_audio_edit_input_1)," \
        "speaker $(section_text 'popup audio' popwnd_audio_edit_input_2)" | tee -a "$shown"
      sleep 1.5  # the test tone's bars
      shot detect-2-audio-popup
      ! declare -F detect_popup_shown >/dev/null || detect_popup_shown audio
      $drive_click_in "popup audio" btn_popwnd_audio_work
    elif grep -q '^popup camera$' "$work/dump.txt"; then
      if [ "$(section_field 'popup camera' vlcwnd shown)" != 1 ]; then
        echo "popup camera: camera $(section_text 'popup camera' edit_input_2)" | tee -a "$shown"
        $drive_click_in "popup camera" btn_popwnd_video_open
        sleep 3  # the picture shows about two seconds after the open
        shot detect-3-camera-popup
      else
        $drive_click_in "popup camera" btn_popwnd_video_work
      fi
    elif grep -q '^msgbox ' "$work/dump.txt"; then
      grep '^msgbox ' "$work/dump.txt" | head -1 | sed 's/^msgbox /message box: /' | tee -a "$shown"
      shot detect-box
      return 1
    elif shown btn_sys_look; then
      ended=0
      break
    elif shown btn_sys_run; then
      echo "start page" | tee -a "$shown"
      return 1
    fi
    sleep 0.2
  done
  [ "$ended" = 0 ] || return 1
  echo "score $(text_of detect_pro_info_2)" | tee -a "$shown"
  echo "problems $(text_of detect_pro_info_1)" | tee -a "$shown"
  shot detect-4-results
}

# log_problems: the problem lines of the program's newest log (UTF-8 behind a byte order mark,
# each line "Info<TAB>DATE TIME TEXT"), whatever the machine's code page.
log_problems() {
  local log
  log=$(ls -t "$(dirname "$program")"/log/*.log 2>/dev/null | head -1)
  [ -n "$log" ] || return 0
  sed '1s/^\xEF\xBB\xBF//' "$log" | tr -d '\r' | sed -n 's/.*Info\t[0-9-]* [0-9:]* //p'
}

# report_page: clicks "查看完整报告" and prints the address the browser stand-in was given.
report_page() {
  : >"$KESTREL_OPENED_LOG"
  $drive_click btn_sys_look || return 1
  # The shell hands the address to a new browser process: seconds on a loaded machine.
  local i
  for i in $(seq 200); do
    [ -s "$KESTREL_OPENED_LOG" ] && { tail -1 "$KESTREL_OPENED_LOG"; return 0; }
    sleep 0.1
  done
  return 1
}

# console_results OUTPUT: what the libraries' console driver (scripts/demo --console) printed
# for a run, in the form results_of compares: one "status TEXT" a step, "score N",
# "problems N" and one "problem TEXT" a problem, in order.
console_results() {
  tr -d '\r' <"$1" | awk '
    /^\[step [0-9]+, [0-9]+%\] / { sub(/^\[step [0-9]+, [0-9]+%\] /, ""); print "status " $0 }
    /^  \[log\] / && !score { sub(/^  \[log\] /, ""); problems[++n] = $0 }
    /^score [0-9]+, [0-9]+ problems$/ && !score {
      score = 1; sub(/,/, "", $2); print "score " $2; print "problems " $3
      for (i = 1; i <= n; ++i) print "problem " problems[i]
    }'
}

# results_of NAME PROFILE: the same for the program's run NAME (after detect): the step status
# texts it showed (without the report's: shown for a moment between two steps, or while the
# upload runs, so that the dump often misses them),
# its score and problem count labels and the problem lines of its log.
results_of() {
  sed -n 's/^status \(.*\) ([0-9]*%)$/status \1/p' "$work/$1.shown" | grep -v '^status 生成检测报告'
  grep -E '^(score|problems) ' "$work/$1.shown"
  # The log keeps the Chinese texts on an English machine (1252) too.
  log_problems | sed 's/^/problem /'
}
