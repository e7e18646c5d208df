#!/usr/bin/env bash
# Installs what is needed, builds the utility and runs it against the built-in
# simulator (a virtual base station with a module in update mode), using the
# generated sample firmware beside the programs. With a display it opens the
# update window with the simulator's port preselected; without one it runs the
# whole update with the headless updater.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh run
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
gui_status=2
if [ -x "$bin/vorenta-update" ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  # A port map of its own names the simulator's pty COM9, so the operator's
  # own settings and port map stay untouched.
  export XDG_CONFIG_HOME="$work/config"
  mkdir -p "$XDG_CONFIG_HOME/Harwen Systems"
  echo "COM9=$device" >"$XDG_CONFIG_HOME/Harwen Systems/ports.conf"
  echo "Opening the update window; COM9 is the simulator. Press \"Begin Update\"."
  gui_status=0
  "$bin/vorenta-update" /C9 || gui_status=$?
fi
if [ "$gui_status" -eq 2 ]; then
  # No display could be reached: the same update without a window.
  "$bin/vorenta-flash" --port "$device" --wait 30 || status=$?
else
  status=$gui_status
  kill "$sim_pid" 2>/dev/null || true
fi
wait "$sim_pid" || true
sim_pid=""
echo "--- simulator summary"
tail -n +2 "$work/sim.out"
exit $status
