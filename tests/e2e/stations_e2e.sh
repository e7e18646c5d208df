#!/usr/bin/env bash
# Stations that do not refuse each other: parallel processes on one firmware,
# the exit status of a run over two ports, a port named twice, unusable
# temporary folders and firmware files too large to send.
set -uo pipefail
flash=$1
sim=$2
port_tool=$3
root=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; [ -n "${KEEP:-}" ] || rm -rf "$root"' EXIT

export XDG_CONFIG_HOME="$root/config" TMPDIR="$root/tmp" XDG_STATE_HOME="$root/state"
mkdir -p "$TMPDIR" "$root/fw"
# Four pages, the last one padded with 0xFF.
head -c 1000 /dev/urandom >"$root/fw/image.bin"
printf '9.9 test\nimage.bin\n' >"$root/fw/Vorenta_KT76_MM_VMM_V2.txt"
{ cat "$root/fw/image.bin"; head -c 24 /dev/zero | tr '\0' '\377'; } >"$root/expected.bin"

source "$(dirname "$0")/../support/checks.sh"
same() { cmp -s "$1" "$2"; echo $?; }

# start_sim NAME [options...]: starts a simulator; its device path is in $device.
start_sim() {
  local name=$1
  shift
  "$sim" --timeout 90 --image "$root/$name.bin" "$@" >"$root/$name.txt" 2>&1 &
  eval "${name}_pid=$!"
  device=$(sim_device "$root/$name.txt")
}

echo "--- five processes at once on one firmware folder, three rounds"
for round in 1 2 3; do
  devices=()
  for n in 1 2 3 4 5; do
    start_sim "p${round}_$n"
    devices+=("$device")
  done
  # Started together, so their reads of the firmware files overlap.
  pids=()
  for n in 1 2 3 4 5; do
    "$flash" --port "${devices[$((n - 1))]}" --dir "$root/fw" --wait 30 \
      >"$root/p${round}_$n.flash" 2>&1 &
    pids+=($!)
  done
  for n in 1 2 3 4 5; do
    wait "${pids[$((n - 1))]}"
    status=$?
    check "round $round, process $n: exit status $status" $([ "$status" -eq 0 ]; echo $?)
    [ "$status" -eq 0 ] || cat "$root/p${round}_$n.flash"
    check "round $round, process $n: image" "$(same "$root/p${round}_$n.bin" "$root/expected.bin")"
  done
done

# Each row of the exit status table with two ports: the status, each port's
# summary line and the report's lines (one per module that answered, none for
# a port that was lost).
echo "--- two ports: every module updated (0)"
start_sim ok1 --modules 2
ok1_device=$device
start_sim ok2 --modules 2
ok2_device=$device
"$flash" --port "$ok1_device" --port "$ok2_device" --dir "$root/fw" --count 2 --wait 20 \
  --report "$root/ok.report" >"$root/ok.flash" 2>&1
status=$?
wait "$ok1_pid" "$ok2_pid"
check "all updated: exit status $status" $([ "$status" -eq 0 ]; echo $?)
check "all updated: four report lines" $([ "$(wc -l <"$root/ok.report")" -eq 4 ]; echo $?)
[ "$(grep -c ': 2 updated, 0 failed$' "$root/ok.flash")" -eq 2 ]
check "all updated: both summary lines" $?
tail -n 3 "$root/ok.flash"

echo "--- two ports: a module failed on one, the other port lost after its first module (1)"
# The lost port comes first: a failed module still decides the status.
start_sim lost1 --modules 1
lost1_device=$device
start_sim bad2 --modules 2 --fault-module 2 --id-lowercase
bad2_device=$device
"$flash" --port "$lost1_device" --port "$bad2_device" --dir "$root/fw" --count 2 --wait 20 \
  --report "$root/failed.report" >"$root/failed.flash" 2>&1
status=$?
wait "$lost1_pid" "$bad2_pid"
check "failed and lost: exit status $status" $([ "$status" -eq 1 ]; echo $?)
grep -qE "^COM[0-9]+ \(${lost1_device}\): 1 updated, 0 failed; port lost: " "$root/failed.flash"
check "failed and lost: the lost port counts its one module and says it was lost" $?
grep -qE "^COM[0-9]+ \(${bad2_device}\): 1 updated, 1 failed; module 2: Invalid version" \
  "$root/failed.flash"
check "failed and lost: the failed module is named" $?
check "failed and lost: three report lines, one per module" \
  $([ "$(wc -l <"$root/failed.report")" -eq 3 ]; echo $?)
tail -n 3 "$root/failed.flash"

echo "--- two ports: no usable firmware (2)"
mkdir -p "$root/nofw"
printf '1.0\nmissing.bin\n' >"$root/nofw/Vorenta_KT76_MM_VMM_V2.txt"
start_sim nofw1
nofw1_device=$device
start_sim nofw2
nofw2_device=$device
"$flash" --port "$nofw1_device" --port "$nofw2_device" --dir "$root/nofw" --wait 5 \
  --report "$root/nofw.report" >"$root/nofw.flash" 2>&1
status=$?
kill "$nofw1_pid" "$nofw2_pid" 2>/dev/null
wait "$nofw1_pid" "$nofw2_pid" 2>/dev/null
check "no firmware: exit status $status" $([ "$status" -eq 2 ]; echo $?)
check "no firmware: no module, no report line" $([ ! -s "$root/nofw.report" ]; echo $?)
tail -n 3 "$root/nofw.flash"

echo "--- two ports: every module updated on one, the other will not open (3)"
start_sim one
one_device=$device
"$flash" --port "$root/gone" --port "$one_device" --dir "$root/fw" --wait 20 \
  --report "$root/gone.report" >"$root/gone.flash" 2>&1
status=$?
wait "$one_pid"
check "one lost: exit status $status" $([ "$status" -eq 3 ]; echo $?)
grep -qE "^COM[0-9]+ \($root/gone\): lost: Unable to open serial port" "$root/gone.flash"
check "one lost: its summary line says it was lost" $?
check "one lost: one report line, for the module that was there" \
  $([ "$(wc -l <"$root/gone.report")" -eq 1 ]; echo $?)
tail -n 3 "$root/gone.flash"

echo "--- two ports: the count not reached on one (4)"
start_sim full --modules 2
full_device=$device
start_sim short --modules 2 --fault-module 2 --never-answer
short_device=$device
"$flash" --port "$full_device" --port "$short_device" --dir "$root/fw" --count 2 --wait 3 \
  --report "$root/short.report" >"$root/short.flash" 2>&1
status=$?
kill "$short_pid" 2>/dev/null
wait "$full_pid" "$short_pid" 2>/dev/null
check "count not reached: exit status $status" $([ "$status" -eq 4 ]; echo $?)
check "count not reached: three report lines" \
  $([ "$(wc -l <"$root/short.report")" -eq 3 ]; echo $?)
tail -n 3 "$root/short.flash"

echo "--- a firmware file of gigabytes is refused before anything is copied"
mkdir -p "$root/huge"
printf '1.0\nhuge.bin\n' >"$root/huge/Vorenta_KT76_MM_VMM_V2.txt"
truncate -s 3G "$root/huge/huge.bin"  # sparse: nothing of its size is written
start_sim huge
huge_device=$device
started=$(date +%s)
"$flash" --port "$huge_device" --dir "$root/huge" --wait 5 >"$root/huge.flash" 2>&1
status=$?
took=$(($(date +%s) - started))
kill "$huge_pid" 2>/dev/null
wait "$huge_pid" 2>/dev/null
check "huge firmware: exit status $status" $([ "$status" -eq 2 ]; echo $?)
grep -q "The firmware file is too large to send: 3221225472 bytes" "$root/huge.flash"
check "huge firmware: the message says why" $?
check "huge firmware: nothing in the temporary folder" $([ -z "$(ls -A "$TMPDIR")" ]; echo $?)
check "huge firmware: refused at once (${took} s)" $([ "$took" -lt 10 ]; echo $?)

echo "--- the same port given twice: through a link, and as COMn beside its own path"
start_sim twice
twice_device=$device
ln -s "$twice_device" "$root/station-link"
"$flash" --port "$twice_device" --port "$root/station-link" --dir "$root/fw" --wait 5 \
  >"$root/twice.flash" 2>&1
status=$?
check "given twice through a link: usage error ($status)" $([ "$status" -eq 2 ]; echo $?)
grep -q "given twice" "$root/twice.flash"
check "given twice through a link: says so" $?
grep -q "in use by" "$root/twice.flash"
check "given twice through a link: not taken for another program" $([ $? -ne 0 ]; echo $?)
kill "$twice_pid" 2>/dev/null
wait "$twice_pid" 2>/dev/null
start_sim again
twice_device=$device
mkdir -p "$XDG_CONFIG_HOME/Harwen Systems"
printf 'COM90=%s\n' "$twice_device" >"$XDG_CONFIG_HOME/Harwen Systems/ports.conf"
"$flash" --port COM90 --port "$twice_device" --dir "$root/fw" --wait 5 >"$root/twice2.flash" 2>&1
status=$?
check "COMn and its own path: usage error ($status)" $([ "$status" -eq 2 ]; echo $?)
grep -q "given twice" "$root/twice2.flash"
check "COMn and its own path: says so" $?
rm "$XDG_CONFIG_HOME/Harwen Systems/ports.conf"
kill "$again_pid" 2>/dev/null
wait "$again_pid" 2>/dev/null
cat "$root/twice.flash" "$root/twice2.flash"

echo "--- an unusable \$TMPDIR: the folder and the reason below the usual line"
mkdir -p "$root/tmpcases"
: >"$root/tmpcases/a-file"
n=0
for tmp in "$root/tmpcases/missing" "$root/tmpcases/a-file" "relative-tmp"; do
  n=$((n + 1))
  start_sim "tmpdir$n"  # a name of its own: the device is read from its output
  TMPDIR=$tmp "$flash" --port "$device" --dir "$root/fw" --wait 5 >"$root/tmpdir.flash" 2>&1
  status=$?
  eval "sim_pid=\$tmpdir${n}_pid"
  kill "$sim_pid" 2>/dev/null
  wait "$sim_pid" 2>/dev/null
  check "TMPDIR=$tmp: refused ($status)" $([ "$status" -ne 0 ]; echo $?)
  grep -A2 -x "Unable to create the temporary firmware file." "$root/tmpdir.flash" |
    grep -q "^The temporary folder $tmp/ cannot be used: ."
  check "TMPDIR=$tmp: the folder and why below the usual line" $?
  grep "The temporary folder" "$root/tmpdir.flash"
done

echo "--- command lines: refused combinations, log folders, port maps"
"$flash" --list-ports --list-logs >"$root/lists.out" 2>&1
status=$?
check "--list-ports --list-logs: usage error ($status)" $([ "$status" -eq 2 ]; echo $?)
grep -q "cannot be combined" "$root/lists.out"
check "--list-ports --list-logs: says so" $?
start_sim log1
log1_device=$device
start_sim log2
log2_device=$device
mkdir -p "$root/wirelogs"
"$flash" --port "$log1_device" --port "$log2_device" --dir "$root/fw" --wait 20 \
  --log "$root/wirelogs/" >"$root/wirelogs.flash" 2>&1
status=$?
wait "$log1_pid" "$log2_pid"
check "--log DIR/ with two ports: exit status $status" $([ "$status" -eq 0 ]; echo $?)
ls "$root/wirelogs"
check "--log DIR/ with two ports: files of a proper name" \
  $([ "$(ls "$root/wirelogs" | grep -c '^wire-COM[0-9]*\.log$')" -eq 2 ]; echo $?)
for map in COM101=/dev/null COM5=dev/null COM5; do
  "$port_tool" --map "$map" --list >"$root/map.out" 2>&1
  status=$?
  check "vorenta-port --map $map --list: usage error ($status)" $([ "$status" -eq 2 ]; echo $?)
  head -n 1 "$root/map.out"
done
"$port_tool" --map COM5 >"$root/map.out" 2>&1
head -n 1 "$root/map.out"
grep -q "^vorenta-port: --map COM5: the device is missing" "$root/map.out"
check "vorenta-port --map COM5 alone: says the device is missing" $?
"$port_tool" --map COM5=/dev/null >"$root/map.out" 2>&1
head -n 1 "$root/map.out"
grep -q "add --list, --pin or --open" "$root/map.out"
check "vorenta-port --map COM5=/dev/null alone: says what is missing" $?
: >"$root/regular.bin"
"$port_tool" --open "$root/regular.bin" >"$root/open.out" 2>&1
status=$?
cat "$root/open.out"
check "vorenta-port --open FILE: refused ($status)" $([ "$status" -eq 1 ]; echo $?)
check "vorenta-port --open FILE: its reason once" \
  $([ "$(grep -c "not a serial" "$root/open.out")" -eq 1 ]; echo $?)

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
