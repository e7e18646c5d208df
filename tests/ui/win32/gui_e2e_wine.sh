#!/usr/bin/env bash
# Runs vorenta-update.exe under Wine on its own Xvfb display and Wine prefix,
# with the Linux simulator's pty as COM5: the window opens with its title and
# that port, "Begin Update" runs a whole update to "Firmware Update Complete",
# the status line blinks its waiting prompt and the window menu's Close and
# About are greyed while the update waits, the
# About item of the window menu opens the About dialog, and Esc closes both.
# Screenshots are kept in ARTIFACTS.
# Usage: gui_e2e_wine.sh VORENTA_UPDATE_EXE VORENTA_SIM WINE64 WINESERVER ARTIFACTS
set -uo pipefail
update=$1
sim=$2
wine=$3
wineserver=$4
artifacts=$5
mkdir -p "$artifacts"
root=$(mktemp -d)
export WINEPREFIX="$root/prefix" WINEDEBUG=-all WINEARCH=win64
export WINEDLLOVERRIDES='mscoree,mshtml='
pids=()
cleanup() {
  "$wineserver" -k </dev/null >/dev/null 2>&1
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$root"
}
trap cleanup EXIT

source "$(dirname "$0")/../../support/checks.sh"
# wait_for COMMAND...: retries for up to 60 s
wait_for() { wait_until 60 "$@"; }
# Windows on the screen (mapped); the screenshots are taken once they are.
window_named() { xdotool search --onlyvisible --name "$1" | head -n 1 | grep -q .; }
window_id() { xdotool search --onlyvisible --name "$1" | head -n 1; }
focused() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }
# Wine's popup menus: mapped top-level windows that no window manager handles.
popups() {
  local w
  for w in $(xdotool search --onlyvisible --maxdepth 1 --name '' 2>/dev/null); do
    xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes' && echo "$w"
  done
}
new_popup() { [ -n "$(comm -13 <(echo "$1") <(popups | sort))" ]; }
# press WINDOW_TITLE_REGEX KEY...: keys to that window
press() {
  local w
  w=$(window_id "$1") || return 1
  shift
  xdotool windowfocus --sync "$w"
  # Wine takes the keyboard once its window has been clicked: the caption's middle.
  eval "$(xdotool getwindowgeometry --shell "$w")"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + 8)) click 1
  wait_until 10 focused "$w"
  xdotool key --delay 150 "$@"
}
# open_window_menu WINDOW_TITLE_REGEX: a click on the caption's icon, until
# the menu is there (a click that comes while the window is still busy is lost)
open_window_menu() {
  local w before
  w=$(window_id "$1") || return 1
  eval "$(xdotool getwindowgeometry --shell "$w")"
  before=$(popups | sort)
  for _ in 1 2 3; do
    xdotool mousemove $((X + 10)) $((Y + 10)) click 1
    wait_until 5 new_popup "$before" && return 0
  done
  return 1
}
shot() { import -window root "$artifacts/$1.png"; }
gone() { ! kill -0 "$1" 2>/dev/null; }
wine_quiet() { "$wine" "$@" </dev/null >/dev/null 2>&1; }

title_re='^Vorenta KT7.6 VMM & DO-232 R2 Mobile Module Firmware Update$'
title='Vorenta KT7.6 VMM & DO-232 R2 Mobile Module Firmware Update'

# A display of our own, without a window manager: Wine draws the frames and
# the window menu itself, as Windows does. Xvfb picks a free number (fd 3).
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$root/display" 2>"$root/xvfb.log" &
pids+=($!)
wait_for test -s "$root/display" || { echo "FAILED: Xvfb did not start"; cat "$root/xvfb.log"; exit 1; }
export DISPLAY=":$(head -n 1 "$root/display")"

# A Wine prefix of our own; Wine draws the windows' frames itself, as Windows does.
wine_quiet wineboot -i
wine_quiet reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f
# Wine's own Tahoma (the face behind "MS Shell Dlg") and Marlett (the caption
# buttons) from Debian's fonts-wine, where this Wine looks for them.
if [ -d /usr/share/wine/fonts ]; then
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
fi

# The simulator's pty becomes COM5 once the wineserver has restarted.
"$sim" --image "$root/received.bin" --answer-poll 12 --timeout 150 --log "$root/wire.jsonl" \
  >"$root/sim.txt" 2>&1 &
pids+=($!)
wait_for test -s "$root/sim.txt"
pty=$(head -n 1 "$root/sim.txt")
wine_quiet reg add 'HKLM\Software\Wine\Ports' /v COM5 /d "$pty" /f
"$wineserver" -k </dev/null >/dev/null 2>&1
"$wineserver" -w </dev/null >/dev/null 2>&1

mkdir -p "$root/app"
cp "$update" "$root/app/vorenta-update.exe"
head -c 1000 /dev/urandom >"$root/app/image.bin"
printf '9.9 gui test\nimage.bin\n' >"$root/app/Vorenta_KT76_MM_VMM_V2.txt"
{ cat "$root/app/image.bin"; head -c 24 /dev/zero | tr '\0' '\377'; } >"$root/expected.bin"

"$wine" "$root/app/vorenta-update.exe" /C5 >"$root/app.txt" 2>&1 &
app=$!
pids+=($app)
wait_for window_named "$title_re"
check "window opens" $?
[ "$(xdotool getwindowname "$(window_id "$title_re")")" = "$title" ]
check "window title" $?
wait_for grep -q '^COM5 = ' "$root/app.txt"
check "the simulator's port is offered as COM5" $?
shot update-window

# A click on "Begin Update": 333, 372, 100 x 14 of 647 x 392 dialog units.
w=$(window_id "$title_re")
eval "$(xdotool getwindowgeometry --shell "$w")"
xdotool mousemove $((X + WIDTH * 383 / 647)) $((Y + HEIGHT - 3 - 13 * (HEIGHT - 24) / 392)) click 1
wait_for grep -qF '"what":"poll"' "$root/wire.jsonl"
check "Begin Update: the module is polled" $?
# The module answers the twelfth poll: the prompt is up for six seconds.
shot waiting-prompt
open_window_menu "$title_re"
check "the window menu opens while the update waits" $?
shot update-armed-window-menu
xdotool key Escape
wait_for window_named "^Firmware Update Complete$"
check "update ends with Firmware Update Complete" $?
shot update-complete
cmp -s "$root/received.bin" "$root/expected.bin"
check "module received the firmware image" $?
"$wine" reg query 'HKCU\Software\Harwen Systems\vorenta-update\Settings' /v ComPort \
  </dev/null 2>/dev/null | tr -d '\r' | grep -Eq 'ComPort +REG_DWORD +0x5$'
check "port saved in the user's registry key" $?
press "^Firmware Update Complete$" Return
wait_for eval '! window_named "^Firmware Update Complete$"'

# The window menu's last item is About.
open_window_menu "$title_re"
check "the window menu opens after the update" $?
shot window-menu
xdotool key Up Return
wait_for window_named "^About "
check "the window menu's About item opens the About dialog" $?
[ "$(xdotool getwindowname "$(window_id '^About ')")" = \
  "About Vorenta KT7.6 VMM & DO-232 R2 Mobile Module Update" ]
check "About title" $?
shot about-dialog
press "^About " Escape
wait_for eval '! window_named "^About "'
check "Esc closes the About dialog" $?
press "$title_re" Escape
wait_for gone "$app"
check "Esc closes the window after the update" $?
[ -z "$(find "$WINEPREFIX/drive_c/users" -name Hex.tmp 2>/dev/null)" ] &&
  [ -z "$(find "$WINEPREFIX/drive_c/users" -name 'vorenta-session-*' 2>/dev/null)" ]
check "page image and its session folder removed" $?
session_logs=$(find "$WINEPREFIX/drive_c/users" -path '*/Harwen Systems/logs/*_vorenta-update_COM5.log' 2>/dev/null)
[ "$(echo "$session_logs" | grep -c .)" -eq 1 ] && grep -q "^outcome: *success" "$session_logs"
check "one session log, of a successful update" $?
grep -q "Waiting for the Mobile Module on COM5: switch it to firmware update mode" "$session_logs"
check "the waiting prompt was shown while the module was polled" $?

echo "$passed passed, $failed failed; screenshots in $artifacts"
[ "$failed" -eq 0 ]
