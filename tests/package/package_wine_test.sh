#!/usr/bin/env bash
# The win64 release under Wine, in a fresh prefix on a virtual display: packs an older and the
# current version with scripts/package, installs the older one silently and the current one over
# it, checks every file, shortcut and registry value, starts the installed program and the zip's
# (from a folder with spaces and Chinese characters) up to their main window, refuses an install
# and an uninstall while the program runs (silently, and by asking in a box whose Retry asks
# again until the program has ended, then goes on through the wizard: the installer's last page
# starts the program, the uninstaller's removes everything), verifies every signature and a
# tampered copy, uninstalls silently, keeping the user's own file, and installs into a chosen
# folder with /D=. Prints the install and uninstall times. Skips (exit 77) without a display.
#   package_wine_test.sh BUILD_DIR
set -u
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(readlink -f "$1")
source "$repo/tests/support/window_test.sh"
pids=()
# The prefix's server ends whatever Windows process is left, also those Wine started in groups
# of their own (the wizard's program, the uninstaller's copy of itself).
trap 'for p in "${pids[@]}"; do kill -KILL -- -"$p" 2>/dev/null; done
  [ -n "${WINEPREFIX:-}" ] && /usr/lib/wine/wineserver -k 2>/dev/null; display_stop; rm -rf "$work"' EXIT
# Chinese paths pass through Wine in a UTF-8 locale; the installer then speaks Chinese.
export LC_ALL=zh_CN.UTF-8
run() { "$repo/scripts/wine-run" "$@" >>"$work/wine.log" 2>&1; }
now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.1f", b - a }'; }

# --- the two releases: the current version and an "older" one from the same build, packed
# through a path with a space (the signing command runs from inside the build folder) ---
mkdir -p "$work/build folder"
ln -s "$build" "$work/build folder/win64"
"$repo/scripts/package" --build "$build" --out "$work/dist" >"$work/package.log" 2>&1 &&
  "$repo/scripts/package" --build "$work/build folder/win64" --out "$work/old" --version 2.1.19.900 \
    >>"$work/package.log" 2>&1 || { cat "$work/package.log"; fail "scripts/package failed"; exit 1; }
source "$build/package/package.env"
version=$KESTREL_PRODUCT_VERSION
setup=$work/dist/Lessora-$version-x64-setup.exe
zip=$work/dist/Lessora-$version-x64-portable.zip
(cd "$work/dist" && sha256sum -c --quiet SHA256SUMS) || fail "SHA256SUMS does not match"
stage=$build/package/work/Lessora
cert=${KESTREL_SIGN_CERT:-$build/package/test-signing/cert.pem}
# Stripped, with the sections page-aligned in the file (Wine then maps them instead of reading).
for pe in "$stage"/*.exe "$stage"/*.dll "$stage"/Test/*.exe; do
  head=$("$KESTREL_OBJDUMP" -h -p "$pe")
  grep -q '^FileAlignment[[:space:]]*00001000$' <<<"$head" || fail "${pe#"$stage"/} not page-aligned"
  ! grep -q ' \.debug_' <<<"$head" || fail "${pe#"$stage"/} keeps debug sections"
done

echo "packed in $SECONDS s"
gallery_prefix "$work/prefix" 96 && display_start || { fail "no display"; exit 1; }
prefix=$WINEPREFIX
inst=$prefix/drive_c/Program\ Files/Lessora
desktop_link=$prefix/drive_c/users/Public/Desktop/Lessora.lnk
menu_link=$prefix/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Lessora.lnk
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lessora'
# value NAME: the uninstall key's value NAME as reg prints it ("" when missing), in UTF-8 (reg
# writes the console's code page, 936 here).
value() {
  "$repo/scripts/wine-run" reg query "$key" /v "$1" 2>/dev/null | iconv -f GBK -t UTF-8 | tr -d '\r' |
    sed -n "s/^ *$1 *REG_[A-Z]* *//p"
}
# installed DIR: every staged file is in DIR with the same bytes.
installed() {
  local f bad=0
  while read -r f; do
    cmp -s "$stage/$f" "$1/$f" || { fail "$f not installed in $1"; bad=1; }
  done < <(cd "$stage" && find . -type f | sed 's|^\./||')
  [ -f "$1/Uninstall.exe" ] || { fail "no Uninstall.exe in $1"; bad=1; }
  return $bad
}
# launch EXE NAME: starts the program (a Windows path) with its dump in $work/NAME.txt (sets $pid).
launch() {
  dump=$work/$2.txt
  rm -f "$dump"
  KESTREL_PROFILE="Z:$repo/testdata/profiles/desktop-zh" \
    WINEPATH="Z:$build/simbin" KESTREL_UI_DUMP="Z:$dump" \
    setsid "$repo/scripts/wine-run" "$1" >"$work/$2.out" 2>&1 &
  pid=$!
  pids+=("$pid")
}
# main_window NAME: the dump shows the main window with its start button (60 s at most).
main_window() {
  local i
  for i in $(seq 600); do
    grep -q ' name=btn_sys_run .*shown=1' "$work/$1.txt" 2>/dev/null && return 0
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  return 1
}
# stop_program [PID]: ends the program started last, or PID's group (Wine ends only one thread
# on SIGTERM).
stop_program() {
  local p=${1:-$pid} i
  kill -KILL -- -"$p" 2>/dev/null
  for i in $(seq 100); do kill -0 "$p" 2>/dev/null || break; sleep 0.1; done
  sleep 1
}
# end_all: ends every program and installer this test started and every KestrelRun.exe, so
# that a failed step leaves no mutex or box behind for the next one.
end_all() {
  local p
  for p in "${pids[@]}"; do kill -KILL -- -"$p" 2>/dev/null; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null; done
  pids=()
  run taskkill /F /IM KestrelRun.exe
  # A box or wizard left by a process Wine started apart (the uninstaller's copy of itself).
  for p in $(xdotool search --name '^Lessora (安装|卸载)' 2>/dev/null); do
    p=$(xdotool getwindowpid "$p" 2>/dev/null) && kill -KILL "$p" 2>/dev/null
  done
  sleep 1
}

echo "prefix ready at $SECONDS s"
# --- the older version, then the current one over it, both silent ---
run "$work/old/Lessora-2.1.19.900-x64-setup.exe" /S || fail "older install: exit code $?"
[ "$(value DisplayVersion)" = 2.1.19.900 ] || fail "older install: DisplayVersion $(value DisplayVersion)"
start=$(now)
run "$setup" /S || fail "install over the older one: exit code $?"
install_time=$(since "$start")
installed "$inst"
for v in "DisplayName=Lessora" "DisplayVersion=$version" "Publisher=$KESTREL_PUBLISHER" \
  "URLInfoAbout=$KESTREL_PRODUCT_URL" 'DisplayIcon=C:\Program Files\Lessora\KestrelRun.exe,0' \
  'InstallLocation=C:\Program Files\Lessora' \
  'UninstallString="C:\Program Files\Lessora\Uninstall.exe"' \
  'QuietUninstallString="C:\Program Files\Lessora\Uninstall.exe" /S' \
  NoModify=0x1 NoRepair=0x1; do
  got=$(value "${v%%=*}")
  [ "$got" = "${v#*=}" ] || fail "registry: ${v%%=*} is '$got', not '${v#*=}'"
done
size=$(value EstimatedSize)
kib=$(du -sk --apparent-size "$inst" | cut -f1)
[ -n "$size" ] && [ $((size)) -gt $((kib / 2)) ] && [ $((size)) -le $((kib + 64)) ] ||
  fail "registry: EstimatedSize $size KiB for $kib KiB installed"
[ -f "$desktop_link" ] || fail "no desktop shortcut"
[ -f "$menu_link" ] || fail "no Start-menu shortcut"

# --- the installed program starts and shows its main window; installs refuse while it runs ---
launch 'C:\Program Files\Lessora\KestrelRun.exe' installed
main_window installed || fail "installed program: no main window ($(cat "$work/installed.out"))"
touch -d @0 "$inst/NetProbe.dll"
run "$setup" /S
code=$?
[ $code = 3 ] || fail "silent install while running: exit code $code, not 3"
[ "$(stat -c %Y "$inst/NetProbe.dll")" = 0 ] || fail "silent install while running changed a file"
# The uninstaller refuses too: run in place through a batch file, as a deployment tool runs it
# (so that _?= reaches it unquoted and its exit code is its own), it ends with 3 and removes nothing.
printf '"C:\\Program Files\\Lessora\\Uninstall.exe" /S _?=C:\\Program Files\\Lessora\r\nexit /b %%errorlevel%%\r\n' \
  >"$work/refuse.bat"
run cmd /C "Z:${work//\//\\}\\refuse.bat"
code=$?
[ $code = 3 ] || fail "silent uninstall while running: exit code $code, not 3"
[ -f "$inst/Uninstall.exe" ] && [ "$(stat -c %Y "$inst/NetProbe.dll")" = 0 ] &&
  [ -n "$(value DisplayName)" ] && [ -f "$desktop_link" ] ||
  fail "silent uninstall while running removed something"
# window REGEX [NOT [TENTHS]]: waits up to 30 s (or TENTHS) for a shown window named REGEX,
# other than NOT; sets $win and its $WIDTH (a box is narrower than the wizard's 585).
window() {
  local i
  win=
  for i in $(seq "${3:-300}"); do
    win=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | grep -vx "${2:-none}" | head -1)
    [ -n "$win" ] && break
    sleep 0.1
  done
  [ -n "$win" ] && eval "$(xdotool getwindowgeometry --shell "$win")"
}
# focused WIN: makes WIN the foreground window, where Wine sends every key whatever window an
# event names (the program's window may still be it). With no window manager, a click does it:
# on the X window raised first, since the program's may lie over it. True once the X focus,
# which Wine moves to the window it activates, is on WIN (5 clicks at most). The click, an
# eighth in, hits no button and no caption: a box's body beside its icon, the wizard's header.
focused() {
  local i WIDTH=8 HEIGHT=4 X Y SCREEN at
  eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null)"
  at=$((WIDTH >= 480 ? 40 : HEIGHT / 4))
  for i in $(seq 6); do
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ] && return 0
    [ "$i" -lt 6 ] || break
    xdotool windowraise "$1" mousemove --window "$1" $((WIDTH / 8)) $at click 1 2>/dev/null
    sleep 0.3
  done
  return 1
}
# press WIN KEY...: the keys to WIN once it is in front.
press() {
  local w=$1
  shift
  focused "$w" && xdotool key "$@"
}
# asked_again NAME: Retry (Return) on the box $win brings another box named NAME. A busy machine
# may map the box before it takes keys, so the key is sent again until the next box shows (30 s
# at most).
asked_again() {
  local first=$win i
  for i in $(seq 6); do
    press "$first" Return
    window "$1" "$first" 50 && return 0
  done
  return 1
}
setsid "$repo/scripts/wine-run" "$setup" >"$work/asking.out" 2>&1 &
asking=$!
pids+=("$asking")
if window '^Lessora 安装$'; then
  # A box, not the wizard: Cancel (Escape) ends the installer with code 3.
  [ "$WIDTH" -lt 480 ] || fail "install while running: a ${WIDTH}x$HEIGHT window, not a box"
  press "$win" Escape || fail "install while running: the box never came to the front"
  for i in $(seq 100); do kill -0 "$asking" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$asking" 2>/dev/null; then
    fail "install while running: Cancel did not end it"
    stop_program "$asking"
  fi
  wait "$asking"
  code=$?
  [ $code = 3 ] || fail "install while running: exit code $code after Cancel, not 3"
else
  fail "install while running: no box asked to close the program"
  stop_program "$asking"
fi
# Retry while the program still runs asks again; once it has ended, Retry goes on to the wizard,
# which installs, and its last page starts the installed program.
running=$pid
launch "$setup" retry
retry=$pid
if window '^Lessora 安装$' && asked_again '^Lessora 安装$'; then
  stop_program "$running"
  press "$win" Return
  if window '^Lessora 安装' "$win" && [ "$WIDTH" -ge 480 ]; then
    # The licence's "I accept" and the folder page's "Install" are both Alt+I; then "Finish"
    # (Alt+F) once the files are down, with "Run Lessora" ticked.
    press "$win" alt+i alt+i || fail "install after Retry: the wizard never came to the front"
    for i in $(seq 120); do
      kill -0 "$retry" 2>/dev/null || break
      press "$win" alt+f
      sleep 0.5
    done
    wait "$retry"
    code=$?
    [ $code = 0 ] || fail "install after Retry: exit code $code"
    installed "$inst"
    for i in $(seq 600); do
      grep -q ' name=btn_sys_run .*shown=1' "$work/retry.txt" 2>/dev/null && break
      sleep 0.1
    done
    grep -q ' name=btn_sys_run .*shown=1' "$work/retry.txt" 2>/dev/null ||
      fail "install after Retry: its last page started no program"
  else
    fail "install after Retry: no wizard (a ${WIDTH:-?}x${HEIGHT:-?} window)"
  fi
else
  fail "install while running: Retry with the program still running did not ask again"
fi
# The program, the installer and the program the wizard started (the installer's child, in a
# process group of its own), whichever of them still runs.
end_all
echo "program and refusal done at $SECONDS s"
# --- signatures: every installed binary and the installer; a changed byte breaks one ---
for f in "$inst"/*.exe "$inst"/*.dll "$inst"/Test/*.exe "$setup"; do
  osslsigncode verify -CAfile "$cert" -in "$f" >"$work/verify.log" 2>&1 ||
    fail "signature of $(basename "$f") does not verify: $(tail -3 "$work/verify.log")"
done
for f in "$inst/KestrelRun.exe" "$inst/NetProbe.dll" "$setup"; do
  cp "$f" "$work/changed"
  # One byte a third of the way in, inverted: a byte written as a constant may equal the old one.
  at=$(($(stat -c %s "$f") / 3))
  old=$(od -An -tu1 -j "$at" -N1 "$f" | tr -d ' ')
  printf "\\$(printf '%03o' $((old ^ 255)))" | dd of="$work/changed" bs=1 seek="$at" conv=notrunc 2>/dev/null
  cmp -s "$f" "$work/changed" && fail "the changed copy of $(basename "$f") is not changed"
  osslsigncode verify -CAfile "$cert" -in "$work/changed" >/dev/null 2>&1 &&
    fail "a changed $(basename "$f") still verifies"
done

# --- the portable zip: sorted entries, one time, and the program runs from an awkward path ---
python3 - "$zip" "$stage" <<'PY' || fail "zip: entries"
import sys, zipfile, os
z = zipfile.ZipFile(sys.argv[1])
names = [i.filename for i in z.infolist()]
files = sorted("Lessora/" + os.path.relpath(os.path.join(d, f), sys.argv[2])
               for d, _, fs in os.walk(sys.argv[2]) for f in fs)
assert names == sorted(names), "entries not sorted"
assert names == files, "entries %s, staged %s" % (names, files)
assert len({i.date_time for i in z.infolist()}) == 1, "more than one time"
PY
portable="$prefix/drive_c/学校 软件/U 盘 副本"
mkdir -p "$portable"
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$zip" "$portable"

echo "zip done at $SECONDS s"
# --- the silent uninstall keeps the user's file; then a chosen folder (/D=), removed by the
# uninstaller's wizard while the zip's program runs ---
# uninstall DIR: runs DIR's uninstaller silently; it goes on from a copy of itself, so this
# waits for its last steps (its own file and the key).
uninstall() {
  run "$1/Uninstall.exe" /S || { fail "uninstall from $1: exit code $?"; return; }
  removed "$1"
}
# removed DIR: waits for the uninstaller's last steps in DIR (60 s at most).
removed() {
  local i
  for i in $(seq 600); do
    [ -f "$1/Uninstall.exe" ] || [ -f "$desktop_link" ] || break
    sleep 0.1
  done
  # The key goes right after the shortcuts.
  for i in $(seq 10); do
    [ -n "$(value DisplayName)" ] || return 0
    sleep 0.5
  done
}
echo notes >"$inst/我的笔记.txt"
start=$(now)
uninstall "$inst"
uninstall_time=$(since "$start")
left=$(cd "$inst" && find . -mindepth 1 | sort | tr '\n' ' ')
[ "$left" = "./我的笔记.txt " ] || fail "uninstall left '$left' beside the user's file"
[ -z "$(value DisplayName)" ] || fail "uninstall left the registry key"
[ ! -e "$desktop_link" ] && [ ! -e "$menu_link" ] || fail "uninstall left a shortcut"

chosen='C:\学校 软件\Lessora 安装'
chosen_dir="$prefix/drive_c/学校 软件/Lessora 安装"
# /D= must reach the installer unquoted, as deployment tools write it: through cmd's command line.
run cmd /C "Z:${setup//\//\\} /S /D=$chosen" || fail "install into $chosen: exit code $?"
installed "$chosen_dir"
[ "$(value InstallLocation)" = "$chosen" ] || fail "/D=: InstallLocation $(value InstallLocation)"
[ -f "$desktop_link" ] || fail "/D=: no desktop shortcut"
# The zip's program runs from an awkward path. Meanwhile the uninstaller, started as Add or
# Remove Programs starts it (it goes on from a copy of itself), asks to close it, and Retry asks
# again; once the program has ended, Retry opens the wizard, whose "Uninstall" (Alt+U) removes
# it all, and "Close" (Alt+L) ends it.
launch 'C:\学校 软件\U 盘 副本\Lessora\KestrelRun.exe' portable
if ! main_window portable; then
  fail "zip's program: no main window ($(cat "$work/portable.out"))"
elif ! run "$chosen_dir/Uninstall.exe"; then
  fail "uninstall while running: exit code $?"
elif window '^Lessora 卸载$' && [ "$WIDTH" -lt 480 ] && asked_again '^Lessora 卸载$'; then
  stop_program
  press "$win" Return
  if window '^Lessora 卸载' "$win" && [ "$WIDTH" -ge 480 ]; then
    press "$win" alt+u || fail "uninstall after Retry: the wizard never came to the front"
    removed "$chosen_dir"
    for i in $(seq 60); do
      xdotool search --onlyvisible --name '^Lessora 卸载' >/dev/null 2>&1 || break
      press "$win" alt+l
      sleep 0.5
    done
  else
    fail "uninstall after Retry: no wizard (a ${WIDTH:-?}x${HEIGHT:-?} window)"
  fi
else
  fail "uninstall while running: Retry with the program still running did not ask again (${WIDTH:-?}x${HEIGHT:-?})"
fi
end_all
[ ! -e "$chosen_dir" ] || fail "uninstall from the chosen folder left $(ls -A "$chosen_dir")"
[ -z "$(value DisplayName)" ] && [ ! -e "$desktop_link" ] || fail "/D=: uninstall left key or shortcut"

echo "install over the older version: $install_time s; silent uninstall: $uninstall_time s"
ls -l "$setup" "$zip" | awk '{ printf "%s %d bytes\n", $9, $5 }'
window_test_end package_wine
