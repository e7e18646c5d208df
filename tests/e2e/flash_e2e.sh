#!/usr/bin/env bash
# Runs vorenta-flash against the simulator over a pty for a clean update and a
# few injected faults, and checks exit status, messages, the received image and
# that nothing is left behind.
set -uo pipefail
flash=$1
sim=$2
root=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; [ -n "${KEEP:-}" ] || rm -rf "$root"' EXIT

export XDG_CONFIG_HOME="$root/config" TMPDIR="$root/tmp" XDG_STATE_HOME="$root/state"
logs="$XDG_STATE_HOME/Harwen Systems/logs"
mkdir -p "$TMPDIR" "$root/fw"
# Four pages, the last one padded with 0xFF.
head -c 1000 /dev/urandom >"$root/fw/image.bin"
printf '9.9 test\nimage.bin\n' >"$root/fw/Vorenta_KT76_MM_VMM_V2.txt"
{ cat "$root/fw/image.bin"; head -c 24 /dev/zero | tr '\0' '\377'; } >"$root/expected.bin"

source "$(dirname "$0")/../support/checks.sh"

# run NAME EXPECTED_FLASH_STATUS SIM_EXPECT(0|nonzero) TEXT_IN_OUTPUT [sim options...]
run() {
  local name=$1 want=$2 simwant=$3 text=$4
  shift 4
  local out="$root/$name"
  mkdir -p "$out"
  "$sim" --image "$out/received.bin" --timeout 60 "$@" >"$out/sim.txt" 2>&1 &
  local sim_pid=$!
  local device
  device=$(sim_device "$out/sim.txt")
  "$flash" --port "$device" --dir "$root/fw" --wait 8 --log "$out/wire.log" >"$out/flash.txt" 2>&1
  local status=$?
  wait "$sim_pid"
  local simstatus=$?
  echo "--- $name: vorenta-flash exit $status, simulator exit $simstatus"
  check "$name exit status $status, want $want" $([ "$status" -eq "$want" ]; echo $?)
  if [ "$simwant" = 0 ]; then
    check "$name simulator status" $([ "$simstatus" -eq 0 ]; echo $?)
  else
    check "$name simulator status" $([ "$simstatus" -ne 0 ]; echo $?)
  fi
  grep -qF -- "$text" "$out/flash.txt"
  check "$name output holds '$text'" $?
  check "$name page image left behind" $([ -z "$(ls -A "$TMPDIR")" ]; echo $?)
  tail -n 3 "$out/flash.txt"
}

run clean 0 0 "Firmware Update Complete"
cmp -s "$root/clean/received.bin" "$root/expected.bin"
check "clean: received image equals the page image" $?
grep -q "^ComPort=" "$XDG_CONFIG_HOME/Harwen Systems/vorenta-flash.ini"
check "clean: port saved" $?
grep -qE "RX +D0" "$root/clean/wire.log"
check "clean: wire log shows the answer" $?

run retries 0 0 "Firmware Update Complete" --retry-page 1:4
cmp -s "$root/retries/received.bin" "$root/expected.bin"
check "retries: received image equals the page image" $?

# A doubled '!' for page 1 must not be taken as page 2's reply, which is '@'.
run stale_reply 0 0 "Input discarded before page 3 was sent: 21" --double-reply-page 1 --retry-page 2:1
cmp -s "$root/stale_reply/received.bin" "$root/expected.bin"
check "stale_reply: received image equals the page image" $?

rm -f "$XDG_CONFIG_HOME/Harwen Systems/vorenta-flash.ini"
run no_answer 4 nonzero "did not answer within" --never-answer
grep -qE "TX +3C 57$" "$root/no_answer/wire.log"
check "no_answer: base released" $?

run no_page_reply 1 nonzero "No response from the" --no-reply-page 2
run line_closes 1 nonzero "Firmware update failed" --close-after-page 1
grep -q "pages received: 2 accepted" "$root/line_closes/sim.txt"
check "line_closes: the simulator counts only the pages it acknowledged" $?
run wrong_identification 1 nonzero "Invalid version response" --id-lowercase
check "failures never save the port" \
  $([ ! -e "$XDG_CONFIG_HOME/Harwen Systems/vorenta-flash.ini" ]; echo $?)

# Every session left one log; the outcome is in it and in --list-logs.
check "one session log per run" $([ "$(ls "$logs" | wc -l)" -eq 7 ]; echo $?)
"$flash" --list-logs >"$root/list.txt"
cat "$root/list.txt"
for want in "success 3" "cancelled 1" "failure 3"; do
  set -- $want
  check "--list-logs shows $2 $1" $([ "$(grep -c "^$1 " "$root/list.txt")" -eq "$2" ]; echo $?)
done
clean_log=$(sed -n 's/^Session log: //p' "$root/clean/flash.txt")
check "clean: the log is named for the program and the port" \
  $([[ "$clean_log" =~ /[0-9]{4}-[0-9]{2}-[0-9]{2}_[0-9]{2}-[0-9]{2}-[0-9]{2}_vorenta-flash_COM[0-9]+\.log$ ]]; echo $?)
for text in "program:          vorenta-flash " "firmware size:    1000 bytes" \
  "firmware SHA-256: $(sha256sum "$root/fw/image.bin" | cut -d' ' -f1)" \
  "firmware version: 9.9 test" "SHOW  Sending firmware page  4  of  4" \
  "BOX   [Firmware Update Complete]" "outcome:          success"; do
  grep -qF -- "$text" "$clean_log"
  check "clean log holds '$text'" $?
done
check "clean log: mode 0600 in a folder of mode 0700" \
  $([ "$(stat -c %a "$clean_log")" = 600 ] && [ "$(stat -c %a "$logs")" = 700 ]; echo $?)
wire() { sed -nE 's/^ *[0-9]+ ms ((TX|RX|LINE|PURGE|OPEN|CLOSE) .*)/\1/p' "$1"; }
cmp -s <(wire "$clean_log") <(wire "$root/clean/wire.log")
check "clean: the session log has the same wire trace as --log" $?
grep -qF "BOX   | No response from the" "$(sed -n 's/^Session log: //p' "$root/no_page_reply/flash.txt")"
check "no_page_reply: the failure message is in its log" $?

# A state folder that cannot be made: the update goes on, and says so once.
: >"$root/blocked"
XDG_STATE_HOME="$root/blocked" run unwritable 0 0 "Firmware Update Complete"
check "unwritable: said once" $([ "$(grep -c "No session log is written" "$root/unwritable/flash.txt")" -eq 1 ]; echo $?)

# --quiet still says why no session log is written, once a run.
mkdir -p "$root/quiet"
"$sim" --image "$root/quiet/received.bin" --timeout 60 --modules 2 >"$root/quiet/sim.txt" 2>&1 &
quiet_sim=$!
device=$(sim_device "$root/quiet/sim.txt")
XDG_STATE_HOME="$root/blocked" "$flash" --port "$device" --dir "$root/fw" --wait 8 --count 2 \
  --quiet >"$root/quiet/flash.txt" 2>&1
status=$?
wait "$quiet_sim"
check "quiet: exit $status, want 0" $([ "$status" -eq 0 ]; echo $?)
check "quiet: why no log is written is said once" \
  $([ "$(grep -c "No session log is written: " "$root/quiet/flash.txt")" -eq 1 ]; echo $?)

# --list-logs on a folder that cannot be read says why.
XDG_STATE_HOME="$root/blocked" "$flash" --list-logs >"$root/list-blocked.txt" 2>&1
status=$?
check "--list-logs on a blocked folder: exit $status, want 1" $([ "$status" -eq 1 ]; echo $?)
grep -qF "the session logs cannot be listed: $root/blocked" "$root/list-blocked.txt"
check "--list-logs on a blocked folder says why" $?

# --log and --report naming one file: a usage error, and the report is kept.
printf '{"earlier":1}\n' >"$root/line.jsonl"
ln "$root/line.jsonl" "$root/line-link.log"
for log in "$root/line.jsonl" "$root/line-link.log" "$root/./line.jsonl"; do
  "$flash" --port /dev/null --dir "$root/fw" --log "$log" --report "$root/line.jsonl" >"$root/same.txt" 2>&1
  status=$?
  check "--log $log as the report: exit $status, want 2" $([ "$status" -eq 2 ]; echo $?)
  grep -qF -- "--log and --report name the same file" "$root/same.txt"
  check "--log $log as the report: said why" $?
done
check "the report survived" $([ "$(cat "$root/line.jsonl")" = '{"earlier":1}' ]; echo $?)
# A log folder writes wire.log in it: that name is checked too.
mkdir -p "$root/wires"
printf '{"earlier":2}\n' >"$root/wires/wire.log"
"$flash" --port /dev/null --dir "$root/fw" --log "$root/wires/" --report "$root/wires/wire.log" \
  >"$root/same-folder.txt" 2>&1
status=$?
check "--log a folder holding the report: exit $status, want 2" $([ "$status" -eq 2 ]; echo $?)
check "--log a folder holding the report: the report survived" \
  $([ "$(cat "$root/wires/wire.log")" = '{"earlier":2}' ]; echo $?)

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
