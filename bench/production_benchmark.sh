#!/usr/bin/env bash
# A production station under load, measured:
#  1. eight base stations updated at once by one vorenta-flash (eight simulators
#     with line-rate pacing), against one alone: the wall-time ratio and whether
#     every image arrived whole;
#  2. --repeat over a line of fifty modules: peak and current memory after the
#     first module and after the fiftieth, open files, and what is left in the
#     temporary folder.
# Not part of the test run.
#   bench/production_benchmark.sh [BIN_FOLDER] [PORTS] [MODULES]
#   (defaults: build/release/bin, 8, 50; PORTS 0 skips the first part)
set -euo pipefail
bin=${1:-build/release/bin}
stations=${2:-8}
modules=${3:-50}
pages=256
root=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$root"' EXIT
export XDG_CONFIG_HOME="$root/config" TMPDIR="$root/tmp" XDG_STATE_HOME="$root/state"
mkdir -p "$TMPDIR" "$root/fw" "$root/small"
head -c $((pages * 256)) /dev/urandom >"$root/fw/image.bin"
printf 'bench\nimage.bin\n' >"$root/fw/Vorenta_KT76_MM_VMM_V2.txt"

# start_sims COUNT OPTIONS...: COUNT simulators; their devices in ${devices[@]}.
start_sims() {
  local count=$1
  shift
  devices=()
  sim_pids=()
  for i in $(seq "$count"); do
    "$bin/vorenta-sim" --timeout 900 --image "$root/image-$i.bin" "$@" >"$root/sim-$i.txt" 2>&1 &
    sim_pids+=($!)
  done
  for i in $(seq "$count"); do
    for _ in $(seq 100); do [ -s "$root/sim-$i.txt" ] && break; sleep 0.05; done
    devices+=("$(head -n 1 "$root/sim-$i.txt")")
  done
}

# run_flash LABEL: runs vorenta-flash on every device in ${devices[@]}; sets $wall (ms).
run_flash() {
  local label=$1 args=() start end status=0
  for device in "${devices[@]}"; do args+=(--port "$device"); done
  rm -f "$root"/image-*.bin
  start=$(date +%s%N)
  /usr/bin/time -f "%M %U %S" -o "$root/time.txt" \
    "$bin/vorenta-flash" --quiet "${args[@]}" --dir "$root/fw" >/dev/null 2>"$root/flash.txt" ||
    status=$?
  end=$(date +%s%N)
  wait "${sim_pids[@]}" || true
  wall=$(((end - start) / 1000000))
  local intact=0
  for i in $(seq "${#devices[@]}"); do
    if [ -f "$root/image-$i.bin" ] && cmp -s <(head -c $((pages * 256)) "$root/image-$i.bin") "$root/fw/image.bin"; then
      intact=$((intact + 1))
    fi
  done
  read -r rss user sys <"$root/time.txt"
  printf '%-22s exit %d  wall %6d ms  images intact %d/%d  peak RSS %d KiB  CPU %.1f s\n' \
    "$label" "$status" "$wall" "$intact" "${#devices[@]}" "$rss" "$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')"
}

if [ "$stations" -gt 0 ]; then
  echo "1. $stations base stations at once, $pages pages each, line-rate pacing"
  start_sims 1 --pace
  run_flash "one alone"
  alone=$wall
  start_sims "$stations" --pace
  run_flash "$stations at once"
  together=$wall
  awk -v a="$alone" -v t="$together" 'BEGIN { printf "ratio of wall times: %.3f (at most 1.05 wanted)\n", t / a }'
  echo
fi
echo "2. --repeat over a line of $modules modules (16 pages each, no pacing)"
head -c $((16 * 256)) /dev/urandom >"$root/small/image.bin"
printf 'bench\nimage.bin\n' >"$root/small/Vorenta_KT76_MM_VMM_V2.txt"
"$bin/vorenta-sim" --modules "$modules" --answer-poll 1 --timeout 3600 >"$root/line.txt" 2>&1 &
line_pid=$!
for _ in $(seq 100); do [ -s "$root/line.txt" ] && break; sleep 0.05; done
device=$(head -n 1 "$root/line.txt")
"$bin/vorenta-flash" --quiet --port "$device" --dir "$root/small" --count "$modules" \
  --report "$root/report.jsonl" >/dev/null 2>"$root/repeat.txt" &
flash_pid=$!
status_of() { awk -v k="$1" '$1 == k ":" { print $2 }' "/proc/$flash_pid/status" 2>/dev/null; }
# One sample every 0.1 s: modules finished so far, peak RSS, RSS, open files.
while kill -0 "$flash_pid" 2>/dev/null; do
  finished=0
  [ -f "$root/report.jsonl" ] && finished=$(wc -l <"$root/report.jsonl")
  # The process may end between the look and the sample: keep whole samples only.
  sample="$finished $(status_of VmHWM) $(status_of VmRSS) $(ls "/proc/$flash_pid/fd" 2>/dev/null | wc -l)" || true
  if [ "$(echo "$sample" | wc -w)" -eq 4 ]; then echo "$sample" >>"$root/memory.txt"; fi
  sleep 0.1
done
repeat_status=0
wait "$flash_pid" || repeat_status=$?
wait "$line_pid" || true
updated=$(grep -c '"exitStatus":0' "$root/report.jsonl" 2>/dev/null || true)
echo "exit $repeat_status, $updated of $modules modules updated, report lines $(cat "$root/report.jsonl" 2>/dev/null | wc -l)"
# The last sample taken while module K was under way, K = 1 and the last one.
during() { awk -v k="$1" '$1 == k - 1 { line = $0 } END { print line }' "$root/memory.txt"; }
read -r _ first_peak first_rss first_fds <<<"$(during 1)"
read -r _ last_peak last_rss last_fds <<<"$(during "$modules")"
echo "during module 1: peak RSS ${first_peak:-?} KiB, RSS ${first_rss:-?} KiB, open files ${first_fds:-?}"
echo "during module $modules: peak RSS ${last_peak:-?} KiB, RSS ${last_rss:-?} KiB, open files ${last_fds:-?}"
awk -v a="${first_peak:-0}" -v b="${last_peak:-0}" \
  'BEGIN { if (a > 0) printf "peak RSS ratio last/first: %.3f (within 1.10 wanted)\n", b / a }'
left=$(find "$TMPDIR" -mindepth 1 | wc -l)
echo "left in the temporary folder: $left entries"
