#!/usr/bin/env bash
# Installs what is needed, builds the utility and runs a whole firmware update
# against the built-in simulator (a virtual base station with a module in
# update mode), using the generated sample firmware beside the programs.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc 2>/dev/null || echo 2)"

bin=build/release/bin
work=$(mktemp -d)
sim_pid=""
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The simulator prints the device to use on its first line.
"$bin/vorenta-sim" --image "$work/received.bin" --timeout 300 >"$work/sim.out" 2>&1 &
sim_pid=$!
for _ in $(seq 50); do
  [ -s "$work/sim.out" ] && break
  sleep 0.1
done
device=$(head -n 1 "$work/sim.out")
echo "Simulated base station on $device"

status=0
"$bin/vorenta-flash" --port "$device" --wait 30 || status=$?
wait "$sim_pid" || true
sim_pid=""
echo "--- simulator summary"
tail -n +2 "$work/sim.out"
exit $status
