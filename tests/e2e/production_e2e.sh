#!/usr/bin/env bash
# A production station end to end: vorenta-flash --repeat against a simulated
# production line with a faulty module, several base stations at once, the
# report's lines, and Ctrl-C stopping every port cleanly.
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
product="Vorenta KT7.6 VMM & DO-232 R2 Mobile Module"

source "$(dirname "$0")/../support/checks.sh"
same() { cmp -s "$1" "$2"; echo $?; }
nothing_left() { [ -z "$(ls -A "$TMPDIR")" ]; echo $?; }

# start_sim NAME [options...]: starts a simulator; its device path is in $device.
start_sim() {
  local name=$1
  shift
  "$sim" --timeout 90 --image "$root/$name.bin" "$@" >"$root/$name.txt" 2>&1 &
  eval "${name}_pid=$!"
  device=$(sim_device "$root/$name.txt")
}

# check_report FILE LINES: every line is JSON with the fields a record needs and
# the firmware's real size and SHA-256; prints "module exitStatus outcome" lines.
check_report() {
  python3 - "$1" "$2" "$root/fw/image.bin" <<'PY'
import hashlib, json, re, sys
path, want, firmware = sys.argv[1], int(sys.argv[2]), sys.argv[3]
data = open(firmware, "rb").read()
lines = open(path, encoding="utf-8").read().splitlines()
assert len(lines) == want, f"{len(lines)} lines, want {want}"
stamp = re.compile(r"^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d$")
for line in lines:
    r = json.loads(line)
    assert r["firmwareSha256"] == hashlib.sha256(data).hexdigest(), r
    assert r["firmwareSize"] == len(data), r
    assert r["firmwareFile"] == "image.bin" and r["version"] == "9.9 test", r
    assert stamp.match(r["start"]) and stamp.match(r["end"]), r
    assert r["start"] <= r["end"] and r["durationMs"] > 0, r
    assert re.match(r"^COM\d+$", r["port"]) and r["device"].startswith("/dev/"), r
    print(r["port"], r["module"], r["exitStatus"], r["pages"], json.dumps(r["resends"]),
          r["bootLoader"], r["outcome"])
PY
}

echo "--- a production line of three modules, the second one faulty"
start_sim line --modules 3 --fault-module 2 --id-lowercase --log "$root/line.jsonl"
"$flash" --port "$device" --dir "$root/fw" --count 3 --wait 20 --report "$root/line.report" \
  >"$root/line.flash" 2>&1
status=$?
wait "$line_pid"
simstatus=$?
check "three modules: exit status $status is not 0" $([ "$status" -eq 1 ]; echo $?)
check "three modules: the simulator saw an incomplete module" $([ "$simstatus" -eq 1 ]; echo $?)
check "module 1 received its image" "$(same "$root/line-1.bin" "$root/expected.bin")"
check "module 3 received its image" "$(same "$root/line-3.bin" "$root/expected.bin")"
check "module 2 received nothing" $([ ! -e "$root/line-2.bin" ]; echo $?)
check "three modules: nothing left in the temporary folder" "$(nothing_left)"
report=$(check_report "$root/line.report" 3)
check "three modules: the report parses" $?
echo "$report"
echo "$report" | grep -q "^COM[0-9]* 1 0 4 {} VR-VMM-KT76 The $product firmware has been successfully updated.$"
check "report: module 1 updated" $?
echo "$report" | grep -q "^COM[0-9]* 2 1 0 {} None Invalid version response from the $product.$"
check "report: module 2 failed with its headline" $?
echo "$report" | grep -q "^COM[0-9]* 3 0 4 {}"
check "report: module 3 updated" $?
grep -q "2 updated, 1 failed; module 2: Invalid version response" "$root/line.flash"
check "three modules: the summary names the failure" $?
tail -n 2 "$root/line.flash"
# Every module leaves a session log of its own, named with the port's COM number.
line_logs=$(ls "$logs" 2>/dev/null | grep -c '_vorenta-flash_COM[0-9]*\(-[0-9]*\)\?\.log$')
check "three modules: three session logs ($line_logs)" $([ "$line_logs" -eq 3 ]; echo $?)
check "three modules: two logs end in success" \
  $([ "$(cat "$logs"/*.log | grep -c '^outcome: *success$')" -eq 2 ]; echo $?)
check "three modules: one log ends in failure" \
  $([ "$(cat "$logs"/*.log | grep -c '^outcome: *failure$')" -eq 1 ]; echo $?)
said_logs=$(sed -n 's/^Session log: //p' "$root/line.flash" | sort -u)
check "three modules: each session says its own log" \
  $([ "$(echo "$said_logs" | grep -c .)" -eq 3 ]; echo $?)
while read -r said; do
  check "three modules: the log said exists: $said" $([ -f "$said" ]; echo $?)
done <<<"$said_logs"
grep -l "Invalid version response" "$logs"/*.log | grep -q .
check "three modules: the failed module's log holds its message" $?
rm -rf "$XDG_STATE_HOME"

echo "--- two base stations at once"
start_sim first
first_device=$device
start_sim second --retry-page 1:2
second_device=$device
"$flash" --port "$first_device" --port "$second_device" --dir "$root/fw" --wait 20 \
  --report "$root/two.report" --log "$root/two.log" >"$root/two.flash" 2>&1 &
flash_pid=$!
# Each session keeps its page image in a folder of its own while it runs.
most_folders=0
while kill -0 "$flash_pid" 2>/dev/null; do
  folders=$(find "$TMPDIR" -mindepth 1 -maxdepth 1 -type d | wc -l)
  [ "$folders" -gt "$most_folders" ] && most_folders=$folders
  sleep 0.05
done
wait "$flash_pid"
status=$?
check "two ports: two page-image folders side by side ($most_folders seen)" \
  $([ "$most_folders" -eq 2 ]; echo $?)
wait "$first_pid"
first_status=$?
wait "$second_pid"
second_status=$?
check "two ports: exit status $status" $([ "$status" -eq 0 ]; echo $?)
check "two ports: both simulators complete" $([ "$first_status$second_status" = 00 ]; echo $?)
check "two ports: first image" "$(same "$root/first.bin" "$root/expected.bin")"
check "two ports: second image" "$(same "$root/second.bin" "$root/expected.bin")"
check "two ports: nothing left in the temporary folder" "$(nothing_left)"
report=$(check_report "$root/two.report" 2)
check "two ports: the report parses" $?
echo "$report"
echo "$report" | grep -q '^COM[0-9]* 1 0 4 {"2": 2} '
check "two ports: the resent page is in the report" $?
check "two ports: a wire log per port" $([ "$(ls "$root"/two-COM*.log | wc -l)" -eq 2 ]; echo $?)
[ "$(grep -c ": updated$" "$root/two.flash")" -eq 2 ]
check "two ports: the summary names both" $?
# Progress lines of the two ports, each whole and named.
[ "$(grep -c "^COM[0-9]*: Sending firmware page  4  of  4$" "$root/two.flash")" -eq 2 ]
check "two ports: a whole named progress line per port" $?
tail -n 3 "$root/two.flash"
for port in $(grep -o '^COM[0-9]*' "$root/two.flash" | sort -u); do
  check "two ports: a session log of $port" \
    $([ "$(ls "$logs" | grep -c "_vorenta-flash_${port}\.log$")" -eq 1 ]; echo $?)
  grep -q "^$port: Session log: $logs/.*_${port}\.log$" "$root/two.flash"
  check "two ports: $port says its session log" $?
done

echo "--- two base stations, one module fails"
start_sim good
good_device=$device
start_sim bad --no-ready
bad_device=$device
"$flash" --port "$good_device" --port "$bad_device" --dir "$root/fw" --wait 20 >"$root/mixed.flash" 2>&1
status=$?
wait "$good_pid" "$bad_pid"
check "one of two fails: exit status $status" $([ "$status" -eq 1 ]; echo $?)
grep -qE "^COM[0-9]+ \(${bad_device}\): failed: No ready response from the" "$root/mixed.flash"
check "one of two fails: the summary names the failed port" $?
grep -qE "^COM[0-9]+ \(${good_device}\): updated$" "$root/mixed.flash"
check "one of two fails: the summary names the updated port" $?
tail -n 3 "$root/mixed.flash"

echo "--- two ports, one that will not open"
start_sim alone
alone_device=$device
"$flash" --port "$alone_device" --port "$root/gone" --dir "$root/fw" --wait 20 \
  --log "$root/gone.log" >"$root/gone.flash" 2>&1
status=$?
wait "$alone_pid"
check "a port that will not open: exit status $status" $([ "$status" -eq 3 ]; echo $?)
gone_port=$(grep -oE "^COM[0-9]+ \($root/gone\)" "$root/gone.flash" | cut -d' ' -f1)
# The reason stands beside the failed open in that port's wire log and in its session log.
grep -q "NOTE  Unable to open serial port $gone_port" "$root/gone-$gone_port.log"
check "a port that will not open: the reason in its wire log" $?
gone_log=$(sed -n "s/^$gone_port: Session log: //p" "$root/gone.flash")
grep -q "Unable to open serial port $gone_port" "$gone_log" 2>/dev/null
check "a port that will not open: the reason in its session log" $?
check "a port that will not open: the other port's image" "$(same "$root/alone.bin" "$root/expected.bin")"

echo "--- Ctrl-C while two ports wait for their modules"
start_sim idle1 --never-answer --log "$root/idle1.jsonl"
idle1_device=$device
start_sim idle2 --never-answer --log "$root/idle2.jsonl"
idle2_device=$device
"$flash" --port "$idle1_device" --port "$idle2_device" --dir "$root/fw" --repeat \
  --report "$root/idle.report" >"$root/idle.flash" 2>&1 &
flash_pid=$!
# Both ports armed: each simulator has had a poll it leaves unanswered.
wait_for "$root/idle1.jsonl" "left unanswered"
check "Ctrl-C: the first port polls its module" $?
wait_for "$root/idle2.jsonl" "left unanswered"
check "Ctrl-C: the second port polls its module" $?
kill -INT "$flash_pid"
wait "$flash_pid"
status=$?
wait "$idle1_pid" "$idle2_pid"
check "Ctrl-C: exit status $status" $([ "$status" -eq 4 ]; echo $?)
for log in idle1 idle2; do
  grep -q '"base station released"' "$root/$log.jsonl"
  check "Ctrl-C: $log released" $?
done
check "Ctrl-C: no module, no report line" $([ ! -s "$root/idle.report" ]; echo $?)
check "Ctrl-C: nothing left in the temporary folder" "$(nothing_left)"
tail -n 3 "$root/idle.flash"

echo "--- the report is never written through a link"
echo keep >"$root/precious"
ln -s "$root/precious" "$root/link.report"
"$flash" --port "$good_device" --dir "$root/fw" --report "$root/link.report" >"$root/link.flash" 2>&1
status=$?
check "linked report: refused with status $status" $([ "$status" -eq 2 ]; echo $?)
check "linked report: target untouched" $([ "$(cat "$root/precious")" = keep ]; echo $?)

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
