#!/usr/bin/env bash
# Runs a command on a virtual display of its own (Xvfb picks a free number).
# Usage: run_with_xvfb.sh COMMAND [ARG]...
set -uo pipefail
dir=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null; rm -rf "$dir"' EXIT
for _ in $(seq 100); do [ -s "$dir/display" ] && break; sleep 0.1; done
if [ ! -s "$dir/display" ]; then
  echo "run_with_xvfb: Xvfb did not start" >&2
  cat "$dir/xvfb.log" >&2
  exit 1
fi
DISPLAY=":$(head -n 1 "$dir/display")" "$@"
