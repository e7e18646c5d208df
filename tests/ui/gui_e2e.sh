#!/usr/bin/env bash
# Runs vorenta-update on its own Xvfb display: the window opens with its title,
# "Begin Update" cannot be reached without firmware, a whole update against the
# simulator ends in "Firmware Update Complete", the window closes with Esc; a
# dark theme keeps the emphasis readable; during a failing transfer "Cancel
# Update" looks disabled and an Esc pressed then leaves the failure box up;
# thirteen two-digit ports open without toolkit warnings, and a port button's
# tooltip (its device) shows under the pointer; a port plugged in and pulled
# out while the window is open comes and goes by itself, and a session on it
# blinks its waiting prompt.
# Every step waits for what it needs to see, never for a guessed time.
# Screenshots are kept in ARTIFACTS.
# Usage: gui_e2e.sh VORENTA_UPDATE VORENTA_SIM ARTIFACTS
set -uo pipefail
update=$1
sim=$2
artifacts=$3
mkdir -p "$artifacts"
root=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$root"
}
trap cleanup EXIT

source "$(dirname "$0")/../support/checks.sh"
# wait_for COMMAND...: retries for up to 60 s. A GTK start under a dark theme
# took over 20 s on a two-core machine busy with the guest tests.
wait_for() {
  for _ in $(seq 600); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}
# Only mapped windows count: a window has its title before it is shown.
window_named() { xdotool search --onlyvisible --name "$1" | head -n 1 | grep -q .; }
window_id() { xdotool search --onlyvisible --name "$1" | head -n 1; }
# press WINDOW_TITLE_REGEX KEY...: keys to that window, once it is shown
press() {
  local w
  wait_for window_named "$1" || return 1
  w=$(window_id "$1")
  shift
  xdotool windowfocus --sync "$w" && xdotool key --delay 50 "$@"
}
# darkest WINDOW_ID X Y W H (dialog units of the 647 x 392 window): the
# darkest grey level inside that rectangle, 0-255
darkest() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  import -window root -crop "$((WIDTH * $4 / 647))x$((HEIGHT * $5 / 392))+$((X + WIDTH * $2 / 647))+$((Y + HEIGHT * $3 / 392))" \
    -colorspace gray -format '%[fx:int(255*minima)]' info:
}
gone() { ! kill -0 "$1" 2>/dev/null; }

title_re='Vorenta KT7.6 VMM & DO-232 R2 Mobile Module Firmware Update$'
title='Vorenta KT7.6 VMM & DO-232 R2 Mobile Module Firmware Update'

# No display: a message and status 2, not a crash.
env -u DISPLAY -u WAYLAND_DISPLAY "$update" >"$root/nodisplay.txt" 2>&1
status=$?
check "without a display the exit status is 2 (got $status)" $([ "$status" -eq 2 ]; echo $?)
grep -q "cannot open the update window" "$root/nodisplay.txt"
check "without a display the reason is printed" $?

# A display of our own: Xvfb picks a free number and writes it to fd 3.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$root/display" 2>"$root/xvfb.log" &
pids+=($!)
wait_for test -s "$root/display" || { echo "FAILED: Xvfb did not start"; cat "$root/xvfb.log"; exit 1; }
export DISPLAY=":$(head -n 1 "$root/display")"
export XDG_CONFIG_HOME="$root/config" TMPDIR="$root/tmp" XDG_STATE_HOME="$root/state"
mkdir -p "$TMPDIR" "$XDG_CONFIG_HOME/Harwen Systems"

# The simulator's pty is COM5 in the per-user port map.
"$sim" --image "$root/received.bin" --timeout 120 >"$root/sim.txt" 2>&1 &
sim_pid=$!
pids+=($sim_pid)
wait_for test -s "$root/sim.txt"
echo "COM5=$(head -n 1 "$root/sim.txt")" >"$XDG_CONFIG_HOME/Harwen Systems/ports.conf"

# 1. No description file beside the program: the warning, then a window whose
# "Begin Update" is disabled, so the tab order skips it and lands on "Contact
# Information" (Done, port group, Refresh, Contact).
mkdir -p "$root/empty" "$root/fakebin"
cp "$update" "$root/empty/vorenta-update"
# The desktop's opener, replaced by one that notes what it was asked to open.
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >>"%s"\n' "$root/opened.txt" >"$root/fakebin/xdg-open"
chmod +x "$root/fakebin/xdg-open"
PATH="$root/fakebin:$PATH" "$root/empty/vorenta-update" /C5 >"$root/nofw.txt" 2>&1 &
app=$!
pids+=($app)
wait_for window_named "Mobile Module Update$"
check "missing description file is reported" $?
import -window root "$artifacts/missing-firmware-message.png"
press "Mobile Module Update$" Return
wait_for window_named "$title_re"
check "window opens after the message" $?
press "$title_re" Tab Tab Tab space
wait_for window_named "^About "
check "without firmware the third Tab reaches Contact Information, not Begin Update" $?
[ "$(xdotool getwindowname "$(window_id '^About ')")" = \
  "About Vorenta KT7.6 VMM & DO-232 R2 Mobile Module Update" ]
check "About title" $?
import -window root "$artifacts/about-dialog.png"
# Press the left button on the sales address: x 120..204, y 150..158 in
# dialog units of a 318 x 241 dialog.
eval "$(xdotool getwindowgeometry --shell "$(window_id '^About ')")"
xdotool mousemove $((X + WIDTH * 126 / 318)) $((Y + HEIGHT * 154 / 241)) click 1
wait_for grep -q . "$root/opened.txt"
[ "$(cat "$root/opened.txt")" = "mailto:sales@example.com?Subject=Firmware Update Program" ]
check "a press on the sales address opens a mail to it" $?
press "^About " Escape
wait_for eval '! window_named "^About "'
check "Esc closes the About dialog" $?
# The focus is back on "Contact Information": open it again and close it with Enter.
press "$title_re" space
wait_for window_named "^About "
press "^About " Return
wait_for eval '! window_named "^About "'
check "Enter closes the About dialog" $?
press "$title_re" Escape
wait_for gone "$app"
check "Esc closes the window when idle" $?

# 2. A whole update against the simulator.
mkdir -p "$root/app"
cp "$update" "$root/app/vorenta-update"
head -c 1000 /dev/urandom >"$root/app/image.bin"
printf '9.9 gui test\nimage.bin\n' >"$root/app/Vorenta_KT76_MM_VMM_V2.txt"
{ cat "$root/app/image.bin"; head -c 24 /dev/zero | tr '\0' '\377'; } >"$root/expected.bin"
"$root/app/vorenta-update" /C5 >"$root/app.txt" 2>&1 &
app=$!
pids+=($app)
wait_for window_named "$title_re"
check "window opens" $?
[ "$(xdotool getwindowname "$(window_id "$title_re")")" = "$title" ]
check "window title" $?
import -window root "$artifacts/update-window.png"
# The focus shows from the start: a ring around "Done" (453, 372, 100 x 14
# dialog units), drawn in the strip just above it, gone once Tab moves on.
above_done() {
  eval "$(xdotool getwindowgeometry --shell "$(window_id "$title_re")")"
  import -window root -crop "$((WIDTH * 100 / 647))x5+$((X + WIDTH * 453 / 647))+$((Y + HEIGHT * 372 / 392 - 6))" \
    +repage "$1"
}
wait_for xdotool windowfocus --sync "$(window_id "$title_re")"
sleep 0.3
above_done "$root/ring-start.png"
import -window root "$artifacts/focus-at-start.png"
press "$title_re" Tab
sleep 0.3
above_done "$root/ring-after-tab.png"
[ "$(compare -metric AE "$root/ring-start.png" "$root/ring-after-tab.png" null: 2>&1)" -gt 20 ]
check "the focus on Done shows before any key and moves with Tab" $?
# Port group, Refresh, Begin Update.
press "$title_re" Tab Tab space
wait_for window_named "^Firmware Update Complete$"
check "update ends with Firmware Update Complete" $?
import -window root "$artifacts/update-complete.png"
cmp -s "$root/received.bin" "$root/expected.bin"
check "module received the firmware image" $?
grep -q "^ComPort=5" "$XDG_CONFIG_HOME/Harwen Systems/vorenta-update.ini"
check "port saved under the company and application names" $?
press "^Firmware Update Complete$" Return
wait_for eval '! window_named "^Firmware Update Complete$"'
press "$title_re" Escape
wait_for gone "$app"
check "Esc closes the window after the update" $?
# The session ends once its message is closed: one log, with the outcome.
gui_logs=("$XDG_STATE_HOME/Harwen Systems/logs/"*_vorenta-update_COM5.log)
[ "${#gui_logs[@]}" -eq 1 ] && grep -q "BOX   \[Firmware Update Complete\]" "${gui_logs[0]}" &&
  grep -q "RX    D0" "${gui_logs[0]}" && tail -n 1 "${gui_logs[0]}" | grep -q "outcome: *success"
check "the update left one session log with its outcome" $?
if gone "$app"; then
  wait "$app"
  check "exit status 0" $?
fi
[ ! -e "$TMPDIR/Hex.tmp" ]
check "page image removed" $?

# 3. A transfer that fails at page 12: during it "Cancel Update" looks as grey
# as "Done", and Esc pressed then does not dismiss the failure notice.
"$sim" --image "$root/received2.bin" --pace --no-reply-page 12 --log "$root/wire2.jsonl" \
  --timeout 120 >"$root/sim2.txt" 2>&1 &
pids+=($!)
wait_for test -s "$root/sim2.txt"
echo "COM5=$(head -n 1 "$root/sim2.txt")" >"$XDG_CONFIG_HOME/Harwen Systems/ports.conf"
mkdir -p "$root/app2"
cp "$update" "$root/app2/vorenta-update"
head -c 20000 /dev/urandom >"$root/app2/image.bin"
printf '9.9 gui test\nimage.bin\n' >"$root/app2/Vorenta_KT76_MM_VMM_V2.txt"
"$root/app2/vorenta-update" /C5 >"$root/app2.txt" 2>&1 &
app=$!
pids+=($app)
press "$title_re" Tab Tab Tab space
wait_for grep -q '"page 4' "$root/wire2.jsonl"
check "the transfer starts" $?
w=$(window_id "$title_re")
import -window root "$artifacts/during-transfer.png"
cancel=$(darkest "$w" 340 375 86 8)
done_=$(darkest "$w" 460 375 86 8)
[ -n "$cancel" ] && [ -n "$done_" ] && [ $((cancel - done_)) -le 16 ] && [ $((done_ - cancel)) -le 16 ]
check "during the transfer Cancel Update looks disabled like Done (darkest $cancel and $done_)" $?
xdotool key Escape
wait_for window_named "^Firmware Update Error$"
check "the failure is reported" $?
import -window root "$artifacts/failure-message.png"
# The Esc was queued long before the box opened and would have closed it at
# once; it is still there after a round trip through the display server.
xdotool windowfocus --sync "$(window_id '^Firmware Update Error$')"
window_named "^Firmware Update Error$"
check "an Esc pressed during the transfer leaves the failure box up" $?
press "^Firmware Update Error$" Return
wait_for eval '! window_named "^Firmware Update Error$"'
check "Enter closes the failure box" $?
press "$title_re" Escape
wait_for gone "$app"
check "Esc closes the window after the failure" $?

# 4. Under a dark theme, for a look at the colours.
GTK_THEME=Adwaita:dark "$root/app2/vorenta-update" /C5 >"$root/app3.txt" 2>&1 &
app=$!
pids+=($app)
wait_for window_named "$title_re"
check "the window opens under a dark theme" $?
import -window root "$artifacts/dark-theme.png"
press "$title_re" Escape
wait_for gone "$app"
check "Esc closes the dark window" $?

# 5. Thirteen ports with two-digit numbers: no toolkit warning about squeezed
# buttons, and resting the pointer on a port button shows its device.
mkdir -p "$root/dev"
for n in $(seq 10 22); do
  : >"$root/dev/ttyV$n"
  echo "COM$n=$root/dev/ttyV$n"
done >"$XDG_CONFIG_HOME/Harwen Systems/ports.conf"
"$root/app2/vorenta-update" >"$root/app5.txt" 2>"$root/app5.err" &
app=$!
pids+=($app)
wait_for window_named "$title_re"
check "the window opens with thirteen ports" $?
# A mapped window of the tooltip type.
tooltip_shown() {
  local w
  for w in $(xwininfo -root -children | awk '$1 ~ /^0x/ {print $1}'); do
    xwininfo -id "$w" | grep -q IsViewable && xprop -id "$w" _NET_WM_WINDOW_TYPE | grep -q TOOLTIP &&
      return 0
  done
  return 1
}
! tooltip_shown
check "no tooltip before the pointer rests on a port" $?
eval "$(xdotool getwindowgeometry --shell "$(window_id "$title_re")")"
# The first port button: x 24..60, y 36..46 in dialog units.
xdotool mousemove $((X + WIDTH * 38 / 647)) $((Y + HEIGHT * 41 / 392)) sleep 0.1 \
  mousemove $((X + WIDTH * 40 / 647)) $((Y + HEIGHT * 41 / 392))
wait_for tooltip_shown
check "resting the pointer on a port button shows its tooltip" $?
import -window root "$artifacts/port-tooltip.png"
press "$title_re" Escape
wait_for gone "$app"
check "Esc closes the window with thirteen ports" $?
grep -q "^COM22 = $root/dev/ttyV22$" "$root/app5.txt" "$root/app5.err"
check "the log shows the device behind COM22" $?
! grep -E "Gtk-(CRITICAL|WARNING)" "$root/app5.err"
check "no GTK warnings with thirteen ports" $?

# 6. Ports plugged in and pulled out while the window is open: the port map
# names COM9 as a link in a folder that does not exist yet (as
# /dev/serial/by-id before the first adapter); the test makes the folder and
# a link to the simulator's pty, and removes it again. The window follows by
# itself; a session on the new port blinks its waiting prompt.
"$sim" --image "$root/received6.bin" --answer-poll 1000000 --timeout 120 >"$root/sim6.txt" 2>&1 &
pids+=($!)
wait_for test -s "$root/sim6.txt"
hot="$root/hot/by-id/usb-vorenta-base"
printf 'COM5=%s\nCOM9=%s\n' "$root/dev/ttyV10" "$hot" >"$XDG_CONFIG_HOME/Harwen Systems/ports.conf"
"$root/app2/vorenta-update" /C5 >"$root/app6.txt" 2>&1 &
app=$!
pids+=($app)
wait_for window_named "$title_re"
check "the window opens with COM5 alone" $?
wait_for grep -q "^COM5 = " "$root/app6.txt"
! grep -q "^COM9 = " "$root/app6.txt"
check "COM9 is not offered before its adapter is there" $?
mkdir -p "$(dirname "$hot")"
ln -s "$(head -n 1 "$root/sim6.txt")" "$hot"
wait_for grep -q "^COM9 = $hot$" "$root/app6.txt"
check "a port plugged in while the window is open appears by itself" $?
import -window root "$artifacts/port-plugged.png"
# COM9's button: the buttons follow the last listing (this machine's own
# ports included), 56 dialog units apart from x 24, y 36..46; "Begin Update"
# at x 333..433, y 372..386.
slot=$(awk '/^COM[0-9]+ = / { n = substr($1, 4) + 0; if (n <= last) k = 0; last = n;
                               if ($1 == "COM9") s = k; k++ } END { print s }' "$root/app6.txt")
eval "$(xdotool getwindowgeometry --shell "$(window_id "$title_re")")"
xdotool mousemove $((X + WIDTH * (28 + 56 * slot) / 647)) $((Y + HEIGHT * 41 / 392)) click 1
xdotool mousemove $((X + WIDTH * 383 / 647)) $((Y + HEIGHT * 379 / 392)) click 1
prompt="Waiting for the Mobile Module on COM9: switch it to firmware update mode"
hot_log() { grep -l "$prompt" "$XDG_STATE_HOME/Harwen Systems/logs/"*_COM9.log; }
wait_for hot_log
check "the session on the new port logs its waiting prompt" $?
sleep 0.5
import -window root "$artifacts/waiting-prompt.png"
# While the session runs, a port pulled changes nothing: the listing stays.
listings=$(grep -c "^COM5 = " "$root/app6.txt")
rm "$hot"
# Nothing to wait for when nothing may happen: two seconds are four ticks.
sleep 2
[ "$(grep -c "^COM5 = " "$root/app6.txt")" -eq "$listings" ]
check "no listing during a session" $?
xdotool mousemove $((X + WIDTH * 383 / 647)) $((Y + HEIGHT * 379 / 392)) click 1
# After the cancel the pulled port goes: a listing with COM5 and without COM9.
relisted() { [ "$(grep -c "^COM5 = " "$root/app6.txt")" -gt "$listings" ]; }
wait_for relisted
check "once the session is over the window follows the pulled port" $?
[ "$(grep -c "$prompt" "$(hot_log)")" -eq 1 ]
check "the prompt is in the session log once" $?
last=$(grep -n "^COM5 = " "$root/app6.txt" | tail -n 1 | cut -d: -f1)
! tail -n +"$last" "$root/app6.txt" | grep -q "^COM9 = "
check "the last listing has COM5 alone" $?
import -window root "$artifacts/port-pulled.png"
press "$title_re" Escape
wait_for gone "$app"
check "Esc closes the window after the ports changed" $?

# 7. Keyboard only: a session armed with Space and cancelled with Enter on
# its button, the About dialog opened with Space and closed with Esc, then
# Enter on a focused "Done" still closes the window (keys that reach the
# window after a session and a dialog are never swallowed).
"$sim" --answer-poll 1000000 --timeout 120 >"$root/sim7.txt" 2>&1 &
pids+=($!)
wait_for test -s "$root/sim7.txt"
echo "COM5=$(head -n 1 "$root/sim7.txt")" >"$XDG_CONFIG_HOME/Harwen Systems/ports.conf"
XDG_STATE_HOME="$root/state7" "$root/app2/vorenta-update" /C5 >"$root/app7.txt" 2>&1 &
app=$!
pids+=($app)
wait_for window_named "$title_re"
check "the window opens for the keyboard run" $?
session_log7() { ls "$root/state7/Harwen Systems/logs/"*_COM5.log 2>/dev/null | head -n 1; }
# Done, port group, Refresh, Begin Update.
press "$title_re" Tab Tab Tab space
wait_for eval 'grep -q "Waiting for the Mobile Module on COM5" "$(session_log7)"'
check "Space on Begin Update arms the session" $?
press "$title_re" Return
wait_for eval 'tail -n 1 "$(session_log7)" | grep -q "outcome:"'
check "Enter on Cancel Update ends the session" $?
# From the start button: Contact Information, then its About dialog.
press "$title_re" Tab space
wait_for window_named "^About "
check "Space on Contact Information opens the About dialog" $?
press "^About " Escape
wait_for eval '! window_named "^About "'
check "Esc closes the About dialog after the cancelled session" $?
# The focus is back on Contact Information; Tab wraps to Done.
press "$title_re" Tab Return
wait_for gone "$app"
check "Enter on a focused Done closes the window after a cancel and an About closed with Esc" $?

# The same after a failure, whose box drops the keys queued before it: the
# box closed with Enter, the About dialog opened with a click and closed with
# Esc, then Tab to "Done" and Enter.
"$sim" --no-reply-page 0 --timeout 120 >"$root/sim7b.txt" 2>&1 &
pids+=($!)
wait_for test -s "$root/sim7b.txt"
echo "COM5=$(head -n 1 "$root/sim7b.txt")" >"$XDG_CONFIG_HOME/Harwen Systems/ports.conf"
XDG_STATE_HOME="$root/state7b" "$root/app2/vorenta-update" /C5 >"$root/app7b.txt" 2>&1 &
app=$!
pids+=($app)
press "$title_re" Tab Tab Tab space
wait_for window_named "^Firmware Update Error$"
check "a transfer without replies ends in its failure box" $?
press "^Firmware Update Error$" Return
wait_for eval '! window_named "^Firmware Update Error$"'
# "Contact Information": x 93..193, y 372..386.
eval "$(xdotool getwindowgeometry --shell "$(window_id "$title_re")")"
xdotool mousemove $((X + WIDTH * 143 / 647)) $((Y + HEIGHT * 379 / 392)) click 1
wait_for window_named "^About "
press "^About " Escape
wait_for eval '! window_named "^About "'
press "$title_re" Tab Return
wait_for gone "$app"
check "Enter on a focused Done closes the window after a failure box and an About closed with Esc" $?

if [ "$failed" -ne 0 ]; then
  # What the programs said and which windows were up, to tell a slow start
  # from a wrong one.
  for f in "$root"/*.txt "$root"/*.err; do [ -s "$f" ] && { echo "--- $(basename "$f")"; tail -n 20 "$f"; }; done
  echo "--- windows shown now:"
  for w in $(xdotool search --onlyvisible --name . 2>/dev/null); do xdotool getwindowname "$w"; done
fi
echo "$passed passed, $failed failed; screenshots in $artifacts"
[ "$failed" -eq 0 ]
