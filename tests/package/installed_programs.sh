#!/usr/bin/env bash
# Installs the build into a folder of its own with `cmake --install` and checks
# the layout a Debian package gets: programs in lib/vorenta, links in bin,
# manual pages, and no firmware. Then, through the link and without --dir, the
# message for a missing description file, a whole update of a firmware the
# test puts beside the programs against the installed simulator, and a port
# that another process holds: exit 3, the reason below the usual message, on
# the console and in the wire log, and no "Waiting for the module" before the
# port was open.
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
description="$prefix/lib/vorenta/Vorenta_KT76_MM_VMM_V2.txt"
check "no description file installed" test ! -e "$description"
check "no firmware installed" test -z "$(find "$prefix" -name '*.bin')"
check "no data files in bin" test -z "$(find "$prefix/bin" -type f)"

# Without a firmware release: the message for a missing description file.
"$prefix/bin/vorenta-flash" --port /dev/null --wait 1 >"$root/none.txt" 2>&1
status=$?
check "without a firmware the update exits 2 (got $status)" test "$status" -eq 2
check "the missing description file is named" \
  grep -qF "Unable to open the firmware description file" "$root/none.txt"
check "with its installed path" grep -qF "$description" "$root/none.txt"

# A whole update through the link in bin, the firmware found beside the real
# path: the test's own, four pages, the last one padded with 0xFF.
head -c 1000 /dev/urandom >"$prefix/lib/vorenta/test-firmware.bin"
printf '9.9 install test\ntest-firmware.bin\n' >"$description"
{ cat "$prefix/lib/vorenta/test-firmware.bin"; head -c 24 /dev/zero | tr '\0' '\377'; } \
  >"$root/expected.bin"
"$prefix/bin/vorenta-sim" --image "$root/received.bin" --timeout 60 >"$root/sim.txt" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do [ -s "$root/sim.txt" ] && break; sleep 0.05; done
device=$(head -n 1 "$root/sim.txt")
"$prefix/bin/vorenta-flash" --port "$device" --wait 20 >"$root/flash.txt" 2>&1
status=$?
wait "$sim_pid"
sim_status=$?
check "update through bin/vorenta-flash exits 0 (got $status)" test "$status" -eq 0
check "simulator saw a complete update (exit $sim_status)" test "$sim_status" -eq 0
check "the description file beside the real path was read" grep -qF "9.9 install test" "$root/flash.txt"
check "the module received the test's firmware" cmp -s "$root/expected.bin" "$root/received.bin"

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
[ "$failed" -eq 0 ] || for f in none busy flash; do echo "--- $f.txt"; cat "$root/$f.txt"; done
exit $failed
