#!/usr/bin/env bash
# Installs the build into a folder of its own with `cmake --install` and checks
# the layout a Debian package gets: programs and firmware in lib/vorenta, links
# in bin, manual pages. Then, through the link and without --dir, a whole
# update against the installed simulator, and a port that another process
# holds: exit 3, the reason below the usual message, on the console and in
# the wire log, and no "Waiting for the module" before the port was open.
set -uo pipefail
build=$1
root=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$root"' EXIT
export XDG_CONFIG_HOME="$root/config" TMPDIR="$root/tmp" HOME="$root/home" XDG_STATE_HOME="$root/state"
mkdir -p "$TMPDIR" "$HOME"

failed=0
check() {  # description, command...
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failed=1; fi
}

cmake --install "$build" --prefix "$root/usr" >"$root/install.log" 2>&1 ||
  { cat "$root/install.log"; exit 1; }
prefix=$root/usr
for program in vorenta-flash vorenta-sim vorenta-port; do
  check "$program in lib/vorenta" test -x "$prefix/lib/vorenta/$program" -a ! -L "$prefix/lib/vorenta/$program"
  check "bin/$program links to it" test "$(readlink "$prefix/bin/$program")" = "../lib/vorenta/$program"
  check "manual page of $program" test -s "$prefix/share/man/man1/$program.1.gz"
done
check "description file beside the programs" test -f "$prefix/lib/vorenta/Vorenta_KT76_MM_VMM_V2.txt"
check "sample firmware beside the programs" test -f "$prefix/lib/vorenta/VMM_KT76_sample_firmware.bin"
check "no data files in bin" test -z "$(find "$prefix/bin" -type f)"

# A whole update through the link in bin, the firmware found beside the real path.
"$prefix/bin/vorenta-sim" --image "$root/received.bin" --timeout 60 >"$root/sim.txt" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do [ -s "$root/sim.txt" ] && break; sleep 0.05; done
device=$(head -n 1 "$root/sim.txt")
"$prefix/bin/vorenta-flash" --port "$device" --wait 20 --quiet >"$root/flash.txt" 2>&1
status=$?
wait "$sim_pid"
sim_status=$?
check "update through bin/vorenta-flash exits 0 (got $status)" test "$status" -eq 0
check "simulator saw a complete update (exit $sim_status)" test "$sim_status" -eq 0
firmware="$prefix/lib/vorenta/VMM_KT76_sample_firmware.bin"
check "the module received the installed firmware" \
  cmp -s -n "$(stat -c %s "$firmware")" "$firmware" "$root/received.bin"

# A port held and locked by another process.
"$prefix/bin/vorenta-sim" --timeout 30 >"$root/sim2.txt" 2>&1 &
for _ in $(seq 100); do [ -s "$root/sim2.txt" ] && break; sleep 0.05; done
device=$(head -n 1 "$root/sim2.txt")
flock "$device" sleep 30 &
holder=$!
for _ in $(seq 50); do [ -n "$(ls -l /proc/$holder/fd 2>/dev/null | grep -F "$device")" ] && break; sleep 0.05; done
"$prefix/bin/vorenta-flash" --port "$device" --wait 5 --log "$root/wire.log" >"$root/busy.txt" 2>&1
status=$?
kill "$holder" 2>/dev/null
check "a held port exits 3 (got $status)" test "$status" -eq 3
check "the usual message comes first" grep -q "^Unable to open serial port COM" "$root/busy.txt"
check "the holder is named" grep -q "is in use by .* (process [0-9]*)" "$root/busy.txt"
check "the reason is in the wire log" grep -q "NOTE  .*is in use by" "$root/wire.log"
check "no waiting message for a port that never opened" \
  test -z "$(grep "Waiting for the module" "$root/busy.txt")"
[ "$failed" -eq 0 ] || { echo "--- busy.txt"; cat "$root/busy.txt"; echo "--- flash.txt"; cat "$root/flash.txt"; }
exit $failed
