#!/usr/bin/env bash
# Runs a command on a virtual display of its own (Xvfb picks a free number).
# Usage: run_with_xvfb.sh [--screen WxHxD] [--wm] COMMAND [ARG]...
#   --wm  runs openbox first, for tests that need window frames and a work area.
set -uo pipefail
screen=1280x1024x24
wm=0
while [ $# -gt 0 ]; do
  case $1 in
    --screen) screen=$2; shift 2 ;;
    --wm) wm=1; shift ;;
    *) break ;;
  esac
done
dir=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; wait "$p" 2>/dev/null; done
  rm -rf "$dir"
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$dir/display" ] && break; sleep 0.1; done
if [ ! -s "$dir/display" ]; then
  echo "run_with_xvfb: Xvfb did not start" >&2
  cat "$dir/xvfb.log" >&2
  exit 1
fi
export DISPLAY=":$(head -n 1 "$dir/display")"
if [ "$wm" -eq 1 ]; then
  # openbox owns the display once it has set the work area on the root window.
  openbox --sm-disable >"$dir/wm.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do xprop -root _NET_WORKAREA 2>/dev/null | grep -q = && break; sleep 0.1; done
  if ! xprop -root _NET_WORKAREA 2>/dev/null | grep -q =; then
    echo "run_with_xvfb: openbox did not start" >&2
    cat "$dir/wm.log" >&2
    exit 1
  fi
fi
"$@"
