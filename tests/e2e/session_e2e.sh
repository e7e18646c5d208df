#!/usr/bin/env bash
# How sessions of vorenta-flash end and what they leave behind, against the
# simulator over ptys: two sessions in parallel in one temporary folder, a page
# image written behind a session's back, SIGTERM, SIGHUP, a closed pipe, a
# line that goes away while the module is polled, a killed session's folder,
# and the log and command-line inputs that must be refused.
set -uo pipefail
flash=$1
sim=$2
root=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; [ -n "${KEEP:-}" ] || rm -rf "$root"' EXIT

export XDG_CONFIG_HOME="$root/config" TMPDIR="$root/tmp" XDG_STATE_HOME="$root/state"
mkdir -p "$TMPDIR"

source "$(dirname "$0")/../support/checks.sh"
nothing_left() {  # name
  check "$1: nothing left in the temporary folder ($(ls -A "$TMPDIR" | tr '\n' ' '))" \
    $([ -z "$(ls -A "$TMPDIR")" ]; echo $?)
}

# firmware NAME BYTES: a folder with a description file and random firmware,
# and the page image the module must receive.
firmware() {
  mkdir -p "$root/$1"
  head -c "$2" /dev/urandom >"$root/$1/image.bin"
  printf '1.0 %s\nimage.bin\n' "$1" >"$root/$1/Vorenta_KT76_MM_VMM_V2.txt"
  local pad=$(((256 - $2 % 256) % 256))
  { cat "$root/$1/image.bin"; head -c "$pad" /dev/zero | tr '\0' '\377'; } >"$root/$1/expected.bin"
}

# start_sim NAME [options]: sets sim_pid and device.
start_sim() {
  local name=$1
  shift
  mkdir -p "$root/$name"
  "$sim" --image "$root/$name/received.bin" --timeout 60 "$@" >"$root/$name/sim.txt" 2>&1 &
  sim_pid=$!
  device=$(sim_device "$root/$name/sim.txt")
}

firmware A 3000
firmware B 1700

echo "--- two sessions in parallel, one temporary folder, different firmware"
start_sim simA --reply-delay 30
simA=$sim_pid devA=$device
start_sim simB --reply-delay 30
simB=$sim_pid devB=$device
"$flash" --port "$devA" --dir "$root/A" --wait 20 >"$root/A/flash.txt" 2>&1 &
flashA=$!
"$flash" --port "$devB" --dir "$root/B" --wait 20 >"$root/B/flash.txt" 2>&1 &
flashB=$!
wait_for "$root/A/flash.txt" "Sending firmware page"
check "parallel: two page images side by side" $([ "$(ls "$TMPDIR" | wc -l)" -eq 2 ]; echo $?)
wait $flashA; statusA=$?
wait $flashB; statusB=$?
wait $simA; wait $simB
check "parallel: session A exit $statusA" $([ "$statusA" -eq 0 ]; echo $?)
check "parallel: session B exit $statusB" $([ "$statusB" -eq 0 ]; echo $?)
cmp -s "$root/simA/received.bin" "$root/A/expected.bin"
check "parallel: module A received firmware A" $?
cmp -s "$root/simB/received.bin" "$root/B/expected.bin"
check "parallel: module B received firmware B" $?
nothing_left parallel

echo "--- a page image written behind the session's back"
start_sim simW --reply-delay 100
"$flash" --port "$device" --dir "$root/A" --wait 20 >"$root/A/written.txt" 2>&1 &
pid=$!
wait_for "$root/A/written.txt" "Sending firmware page  2 "
for image in "$TMPDIR"/vorenta-session-*/Hex.tmp; do
  head -c 3072 /dev/zero | tr '\0' 'X' | dd of="$image" conv=notrunc status=none
done
wait $pid; status=$?
wait $sim_pid
check "written: exit $status" $([ "$status" -eq 1 ]; echo $?)
grep -qF "Unable to open the temporary firmware file." "$root/A/written.txt"
check "written: the session refused the changed image" $?
check "written: no changed image reached the module" \
  $([ ! -e "$root/simW/received.bin" ] || ! grep -q X "$root/simW/received.bin"; echo $?)
nothing_left written

echo "--- SIGTERM during the transfer"
start_sim simT --reply-delay 150
"$flash" --port "$device" --dir "$root/A" --log "$root/term.log" >"$root/term.txt" 2>&1 &
pid=$!
wait_for "$root/term.txt" "Sending firmware page  2 "
kill -TERM $pid
wait $pid; status=$?
wait $sim_pid
check "term: exit $status" $([ "$status" -eq 1 ]; echo $?)
grep -qF "Firmware update failed" "$root/term.txt"
check "term: failure reported" $?
grep -qE "TX +3C 57$" "$root/term.log"
check "term: base released" $?
tail -n 1 "$root/term.log" | grep -q CLOSE
check "term: port closed last" $?
nothing_left term

echo "--- SIGHUP while waiting for the module"
start_sim simH --never-answer
"$flash" --port "$device" --dir "$root/A" --log "$root/hup.log" >"$root/hup.txt" 2>&1 &
pid=$!
wait_for "$root/hup.log" "TX    3C 24 3A 50 30 31 36"  # a poll frame
kill -HUP $pid
wait $pid; status=$?
kill $sim_pid 2>/dev/null; wait $sim_pid 2>/dev/null
check "hup: exit $status" $([ "$status" -eq 4 ]; echo $?)
grep -qE "TX +3C 57$" "$root/hup.log"
check "hup: base released" $?
nothing_left hup

echo "--- timeout sends SIGTERM while waiting"
start_sim simTO --never-answer
timeout --preserve-status 4 "$flash" --port "$device" --dir "$root/A" >"$root/timeout.txt" 2>&1
status=$?
kill $sim_pid 2>/dev/null; wait $sim_pid 2>/dev/null
check "timeout: exit $status" $([ "$status" -eq 4 ]; echo $?)
nothing_left timeout

echo "--- output piped into head"
start_sim simP
"$flash" --port "$device" --dir "$root/B" 2>&1 | head -n 1 >/dev/null
status=${PIPESTATUS[0]}
wait $sim_pid; simstatus=$?
check "pipe: exit $status" $([ "$status" -eq 0 ]; echo $?)
check "pipe: simulator saw a complete update ($simstatus)" $([ "$simstatus" -eq 0 ]; echo $?)
cmp -s "$root/simP/received.bin" "$root/B/expected.bin"
check "pipe: module received the firmware" $?
nothing_left pipe

echo "--- the line goes away while the module is polled"
start_sim simG --never-answer --timeout 4
"$flash" --port "$device" --dir "$root/A" >"$root/gone.txt" 2>&1
status=$?
wait $sim_pid
check "gone: exit $status" $([ "$status" -eq 3 ]; echo $?)
grep -qF "is no longer available" "$root/gone.txt"
check "gone: operator told" $?
nothing_left gone

echo "--- a killed session's folder goes with the next session"
start_sim simK --never-answer
"$flash" --port "$device" --dir "$root/A" --log "$root/kill.log" >/dev/null 2>&1 &
pid=$!
wait_for "$root/kill.log" "TX    3C 24 3A 50 30 31 36"
kill -KILL $pid; wait $pid 2>/dev/null
kill $sim_pid 2>/dev/null; wait $sim_pid 2>/dev/null
check "killed: its folder is left" $([ -n "$(ls -A "$TMPDIR")" ]; echo $?)
start_sim simK2
"$flash" --port "$device" --dir "$root/B" >/dev/null 2>&1
status=$?
wait $sim_pid
check "killed: next session exit $status" $([ "$status" -eq 0 ]; echo $?)
nothing_left killed

echo "--- inputs that are refused"
echo precious >"$root/victim"
ln -s "$root/victim" "$root/link.log"
"$flash" --port COM1 --dir "$root/A" --log "$root/link.log" >"$root/link.txt" 2>&1
status=$?
check "log link: exit $status" $([ "$status" -eq 2 ]; echo $?)
check "log link: target untouched" $([ "$(cat "$root/victim")" = precious ]; echo $?)
mkfifo "$root/fifo.log"
timeout 10 "$flash" --port COM1 --dir "$root/A" --log "$root/fifo.log" >/dev/null 2>&1
status=$?
check "log fifo: refused at once, exit $status" $([ "$status" -eq 2 ]; echo $?)
"$flash" --wait 4294968 --dir "$root/A" >/dev/null 2>&1
status=$?
check "wait overflow: usage error, exit $status" $([ "$status" -eq 2 ]; echo $?)

start_sim simL
(ulimit -f 2; "$flash" --port "$device" --dir "$root/B" --log "$root/full.log" >"$root/full.txt" 2>&1)
status=$?
wait $sim_pid
check "log full: the update still completes, exit $status" $([ "$status" -eq 0 ]; echo $?)
grep -qiF "the log file $root/full.log could not be written completely" "$root/full.txt"
check "log full: reported" $?
grep -qiF "the session log $root/state/" "$root/full.txt"
check "log full: the cut session log reported too" $?
nothing_left log_full

mkdir -p "$root/E"
cp "$root/A/image.bin" "$root/E/"
printf 'V\033[2J\033]0;owned\007 end\nimage.bin\n' >"$root/E/Vorenta_KT76_MM_VMM_V2.txt"
"$flash" --port "/dev/no-such-$$" --dir "$root/E" >"$root/escape.txt" 2>&1
grep -qF 'Firmware version  =  V?[2J?]0;owned? end' "$root/escape.txt"
check "escapes: the version line shows them replaced" $?
check "escapes: no escape character printed" $(! grep -q $'\033' "$root/escape.txt"; echo $?)

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
