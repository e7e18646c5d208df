#!/usr/bin/env bash
# Stations that do not refuse each other: parallel processes on one firmware,
# the exit status of a run over two ports, a port named twice, unusable
# temporary folders and firmware files too large to send.
set -uo pipefail
flash=$1
sim=$2
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

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
