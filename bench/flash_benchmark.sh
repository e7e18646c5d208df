#!/usr/bin/env bash
# Times a 256-page update of vorenta-flash against the simulator, with and
# without line-rate pacing, and reports the wall time as a ratio to the floor
# the protocol itself sets. Not part of the test run.
#   bench/flash_benchmark.sh [BIN_FOLDER]   (default: build/release/bin)
set -euo pipefail
bin=${1:-build/release/bin}
pages=256
root=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$root"' EXIT
export XDG_CONFIG_HOME="$root/config" TMPDIR="$root/tmp" XDG_STATE_HOME="$root/state"
mkdir -p "$TMPDIR" "$root/fw"
head -c $((pages * 256)) /dev/urandom >"$root/fw/image.bin"
printf 'bench\nimage.bin\n' >"$root/fw/Vorenta_KT76_MM_VMM_V2.txt"

# The floor, in milliseconds: the base preparation (1840); the polls until the
# answer to the third one is read on the fourth timer tick (4 x 500); the start
# of the transfer (100 + 10); per page, what the protocol itself makes wait; and
# the end marker's pause (20).
# Per page without pacing: the four pauses of 20. With pacing a write returns
# once the line has taken the bytes, so the time on the wire overlaps the
# pauses: the data frames go out 40 ms into the page (after two pauses), then
# 322 data bytes, the 23-byte checksum frame and the 1-byte reply cross the
# line at 10 bits a byte, 38400 bit/s, before the next page may start.
floor_ms() {
  local per_page=$1
  awk -v p=$pages -v w="$per_page" 'BEGIN { printf "%.0f", 1840 + 2000 + 110 + p * w + 20 }'
}

measure() {  # label, floor ms per page, simulator options...
  local label=$1 wire=$2
  shift 2
  "$bin/vorenta-sim" --timeout 600 "$@" >"$root/sim.txt" 2>&1 &
  local sim_pid=$!
  for _ in $(seq 100); do [ -s "$root/sim.txt" ] && break; sleep 0.05; done
  local device start end status
  device=$(head -n 1 "$root/sim.txt")
  start=$(date +%s%N)
  /usr/bin/time -f "%M" -o "$root/rss.txt" \
    "$bin/vorenta-flash" --quiet --port "$device" --dir "$root/fw" >/dev/null 2>&1 && status=0 || status=$?
  end=$(date +%s%N)
  wait "$sim_pid" || true
  local wall=$(( (end - start) / 1000000 )) floor
  floor=$(floor_ms "$wire")
  awk -v l="$label" -v w="$wall" -v f="$floor" -v r="$(cat "$root/rss.txt")" -v s="$status" \
    'BEGIN { printf "%-16s exit %d  wall %6d ms  floor %6d ms  ratio %.3f  peak RSS %d KiB\n", l, s, w, f, w / f, r }'
}

echo "vorenta-flash, $pages pages against vorenta-sim"
measure "unpaced" 80
measure "paced 38400" "$(awk 'BEGIN { print 40 + (322 + 23 + 1) * 10 * 1000 / 38400 }')" --pace
