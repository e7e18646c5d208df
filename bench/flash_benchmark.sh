#!/usr/bin/env bash
# Times a 256-page update of vorenta-flash against the simulator on a pty and
# reports: the wall time as a ratio to the floor the protocol's own waits set
# (goal: at most 1.03), the time the same update would take on a real 38400
# bit/s line (projected from the recorded sends), the CPU time of vorenta-flash
# as a share of its wall time (goal: at most 5 %) and its peak RSS.
# Not part of the test run.
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

# The floor, in milliseconds, is every wait the protocol asks for: the base
# preparation (1840); the polls until the answer to the third one is read on the
# fourth timer tick (4 x 500); the start of the transfer (100 + 10); the four
# pauses of 20 around each page's address, data and checksum; the end marker's
# pause (20); and the release's wait (200). A pty shows no wire time: a write
# there is done as soon as the other side could read it.
floor_ms=$(awk -v p=$pages 'BEGIN { printf "%.0f", 1840 + 2000 + 110 + p * 80 + 20 + 200 }')

"$bin/vorenta-sim" --timeout 600 --log "$root/wire.jsonl" >"$root/sim.txt" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do [ -s "$root/sim.txt" ] && break; sleep 0.05; done
device=$(head -n 1 "$root/sim.txt")
start=$(date +%s%N)
/usr/bin/time -f "%e %U %S %M" -o "$root/time.txt" \
  "$bin/vorenta-flash" --quiet --port "$device" --dir "$root/fw" >"$root/flash.txt" 2>&1 &&
  status=0 || status=$?
end=$(date +%s%N)
wait "$sim_pid" && sim_status=0 || sim_status=$?
wall_ms=$(((end - start) / 1000000))
read -r _ user_s sys_s rss_kib <"$root/time.txt"

# On a real line every write returns only once its bytes have left, so their wire
# time adds to the waits: 10 bits a byte at the speed each went out, for every
# command, frame and reply the simulator recorded, none overlapping. The polls are
# left out: they go out on the 500 ms timer, which their wire time does not delay.
wire_ms=$(awk '
  /"kind":"(command|frame|reply)"/ && !/"what":"poll( answer)?"/ {
    match($0, /"speed":[0-9]+/); speed = substr($0, RSTART + 8, RLENGTH - 8)
    match($0, /"bytes":[0-9]+/); bytes = substr($0, RSTART + 8, RLENGTH - 8)
    if (speed > 0) total += bytes * 10 * 1000 / speed
  }
  END { printf "%.0f", total }' "$root/wire.jsonl")
per_page_ms=$(awk '
  /"kind":"frame"/ && /"what":"page [0-9]+ / {
    match($0, /"bytes":[0-9]+/); bytes += substr($0, RSTART + 8, RLENGTH - 8); next }
  /"kind":"reply"/ && /"what":"page [0-9]+ accepted/ {
    match($0, /"bytes":[0-9]+/); bytes += substr($0, RSTART + 8, RLENGTH - 8); replies++ }
  END { if (replies) printf "%.1f", 80 + bytes * 10 * 1000 / 38400 / replies }' "$root/wire.jsonl")

echo "vorenta-flash, $pages pages against vorenta-sim (pty)"
echo "  exit status       flash $status, simulator $sim_status"
awk -v w="$wall_ms" -v f="$floor_ms" \
  'BEGIN { printf "  wall time         %d ms, floor %d ms, ratio %.3f (goal <= 1.03)\n", w, f, w / f }'
awk -v f="$floor_ms" -v x="$wire_ms" -v p="$per_page_ms" \
  'BEGIN { printf "  real 38400 line   %d ms projected (floor + %d ms on the wire), %s ms a page\n", f + x, x, p }'
awk -v u="$user_s" -v s="$sys_s" -v w="$wall_ms" \
  'BEGIN { printf "  CPU time          %.2f s user + %.2f s system = %.1f %% of wall time (goal <= 5 %%)\n", u, s, (u + s) * 100000 / w }'
echo "  peak RSS          $rss_kib KiB"
grep -E "pages received|complete update" "$root/sim.txt" | sed 's/^/  simulator: /'
