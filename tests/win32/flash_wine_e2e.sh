#!/usr/bin/env bash
# vorenta-flash.exe under Wine against the Linux simulator: Wine names the
# simulator's pty as a COM port (HKLM\Software\Wine\Ports), so the Windows
# program reaches it through CreateFileA("\\.\COMn") like a real port.
#   flash_wine_e2e.sh WINE_RUN FLASH_EXE VORENTA_SIM
# Runs alone (it restarts the build's wineserver to make Wine see the port).
set -uo pipefail
wine_run=$1
flash=$2
sim=$3
com=42
second_com=43
root=$(mktemp -d "${TMPDIR:-/tmp}/vorenta-wine-e2e.XXXXXX")
wine_ports='HKLM\Software\Wine\Ports'
settings_key='HKCU\Software\Harwen Systems\vorenta-flash\Settings'

cleanup() {
  kill $(jobs -p) 2>/dev/null
  "$wine_run" reg delete "$wine_ports" /v "COM$com" /f >/dev/null 2>&1
  "$wine_run" reg delete "$wine_ports" /v "COM$second_com" /f >/dev/null 2>&1
  "$wine_run" --stop-server
  [ -n "${KEEP:-}" ] || rm -rf "$root"
}
trap cleanup EXIT

if [ ! -x "$sim" ]; then
  echo "the Linux simulator $sim is missing: build the debug preset first" >&2
  exit 1
fi

# Four pages, the last one padded with 0xFF.
mkdir -p "$root/fw"
head -c 1000 /dev/urandom >"$root/fw/image.bin"
printf '9.9 test\nimage.bin\n' >"$root/fw/Vorenta_KT76_MM_VMM_V2.txt"
{ cat "$root/fw/image.bin"; head -c 24 /dev/zero | tr '\0' '\377'; } >"$root/expected.bin"
# Wine's drive Z: is the Linux root.
fw_dir="Z:${root//\//\\}\\fw"
# Where each session makes its folder for Hex.tmp: the user's temporary
# folder, on Wine's drive C:.
windows_temp=$("$wine_run" cmd /c 'echo %TEMP%' 2>/dev/null | tr -d '\r')
prefix_temp=$("$wine_run" --prefix)/drive_c/$(echo "${windows_temp#[Cc]:\\}" | tr '\\' /)

"$wine_run" reg delete "$settings_key" /v ComPort /f >/dev/null 2>&1
# The session logs of this run only.
logs_dir=$("$wine_run" --prefix)/drive_c/users/$(basename "$(dirname "$prefix_temp")")/AppData/Local/"Harwen Systems"/logs
rm -rf "$logs_dir"

source "$(dirname "$0")/../support/checks.sh"

# run NAME EXPECTED_FLASH_STATUS SIM_EXPECT(0|nonzero) TEXT_IN_OUTPUT [sim options...]
run() {
  local name=$1 want=$2 simwant=$3 text=$4
  shift 4
  local out="$root/$name"
  mkdir -p "$out"
  "$sim" --image "$out/received.bin" --timeout 90 "$@" >"$out/sim.txt" 2>&1 &
  local sim_pid=$!
  local device
  device=$(sim_device "$out/sim.txt")
  # Wine reads its port names when its server starts.
  "$wine_run" reg add "$wine_ports" /v "COM$com" /d "$device" /f >/dev/null 2>&1
  "$wine_run" --stop-server
  "$wine_run" "$flash" --port "COM$com" --dir "$fw_dir" --wait 20 >"$out/flash.txt" 2>&1
  local status=$?
  wait "$sim_pid"
  local simstatus=$?
  echo "--- $name: vorenta-flash.exe exit $status, simulator exit $simstatus ($device as COM$com)"
  check "$name exit status $status, want $want" $([ "$status" -eq "$want" ]; echo $?)
  if [ "$simwant" = 0 ]; then
    check "$name simulator status" $([ "$simstatus" -eq 0 ]; echo $?)
  else
    check "$name simulator status" $([ "$simstatus" -ne 0 ]; echo $?)
  fi
  grep -qF -- "$text" "$out/flash.txt"
  check "$name output holds '$text'" $?
  check "$name: no session folder left behind" $(! compgen -G "$prefix_temp/vorenta-session-*" >/dev/null; echo $?)
  tail -n 4 "$out/flash.txt" | tr -d '\r'
}

saved_port() {
  "$wine_run" reg query "$settings_key" /v ComPort 2>/dev/null | tr -d '\r' |
    sed -n 's/.*ComPort *REG_DWORD *\(0x[0-9a-fA-F]*\).*/\1/p'
}

check "Wine's temporary folder found at $prefix_temp" $([ -d "$prefix_temp" ]; echo $?)
run clean 0 0 "Firmware Update Complete"
cmp -s "$root/clean/received.bin" "$root/expected.bin"
check "clean: received image equals the page image" $?
saved=$(saved_port)
echo "saved port after the clean update: ${saved:-none}"
check "clean: COM$com saved in the user's registry key" $([ "$((saved))" -eq "$com" ]; echo $?)

"$wine_run" reg delete "$settings_key" /v ComPort /f >/dev/null 2>&1
run retries 0 0 "Firmware Update Complete" --retry-page 1:4
grep -qE "retries: [1-9]" "$root/retries/sim.txt"
check "retries: the page was sent again after each '@'" $?
cmp -s "$root/retries/received.bin" "$root/expected.bin"
check "retries: received image equals the page image" $?
check "retries: port saved again" $([ "$(( $(saved_port) ))" -eq "$com" ]; echo $?)

"$wine_run" reg delete "$settings_key" /v ComPort /f >/dev/null 2>&1
run no_page_reply 1 nonzero "No response from the" --no-reply-page 2
grep -qF "Firmware Update Error" "$root/no_page_reply/flash.txt"
check "no_page_reply: failure caption" $?
grep -qF "You should retry the firmware update procedure." "$root/no_page_reply/flash.txt"
check "no_page_reply: failure notice" $?
check "no_page_reply: failure never saves the port" $([ -z "$(saved_port)" ]; echo $?)

echo "--- a killed session's folder goes with the next session"
mkdir -p "$root/killed"
"$sim" --never-answer --timeout 60 >"$root/killed/sim.txt" 2>&1 &
sim_pid=$!
"$wine_run" reg add "$wine_ports" /v "COM$com" /d "$(sim_device "$root/killed/sim.txt")" /f \
  >/dev/null 2>&1
"$wine_run" --stop-server
"$wine_run" "$flash" --port "COM$com" --dir "$fw_dir" --log "Z:${root//\//\\}\\killed\\wire.log" \
  >"$root/killed/flash.txt" 2>&1 &
flash_pid=$!
wait_for "$root/killed/wire.log" "TX    3C 24 3A 50"  # a poll frame
kill -KILL $flash_pid; wait $flash_pid 2>/dev/null
kill $sim_pid 2>/dev/null; wait $sim_pid 2>/dev/null
leftover=$(compgen -G "$prefix_temp/vorenta-session-*")
check "killed: its folder is left" $([ -n "$leftover" ]; echo $?)
echo "left by the killed session: ${leftover:-nothing}"
run after_killed 0 0 "Firmware Update Complete"

# Every session left a log in the user's local application data: four
# updates that ended and the killed one, which never got to its outcome.
check "one session log per run" $([ "$(ls "$logs_dir" 2>/dev/null | wc -l)" -eq 5 ]; echo $?)
"$wine_run" "$flash" --list-logs 2>&1 | tr -d '\r' >"$root/list.txt"
cat "$root/list.txt"
for want in "success 3" "failure 1" "unfinished 1"; do
  set -- $want
  check "--list-logs shows $2 $1" $([ "$(grep -c "^$1 " "$root/list.txt")" -eq "$2" ]; echo $?)
done
clean_log="$logs_dir/$(ls "$logs_dir" | sort | head -n 1)"
for text in "program:          vorenta-flash " "platform:         Windows " \
  "firmware SHA-256: $(sha256sum "$root/fw/image.bin" | cut -d' ' -f1)" \
  "BOX   [Firmware Update Complete]" "outcome:          success"; do
  grep -qF -- "$text" "$clean_log"
  check "clean log holds '$text'" $?
done

echo "--- two base stations at once, one session each in one process"
start_sim() {  # NAME [options...]: a simulator, its device in $device
  local name=$1
  shift
  mkdir -p "$root/$name"
  "$sim" --timeout 90 --image "$root/$name/received.bin" "$@" >"$root/$name/sim.txt" 2>&1 &
  eval "${name}_pid=$!"
  device=$(sim_device "$root/$name/sim.txt")
}
start_sim first
"$wine_run" reg add "$wine_ports" /v "COM$com" /d "$device" /f >/dev/null 2>&1
start_sim second --retry-page 1:2
"$wine_run" reg add "$wine_ports" /v "COM$second_com" /d "$device" /f >/dev/null 2>&1
"$wine_run" --stop-server
"$wine_run" "$flash" --port "COM$com" --port "COM$second_com" --dir "$fw_dir" --wait 20 \
  --report "Z:${root//\//\\}\\two.report" >"$root/two.txt" 2>&1 &
flash_pid=$!
# Each session holds a folder of its own while it runs.
most_folders=0
while kill -0 "$flash_pid" 2>/dev/null; do
  folders=$(compgen -G "$prefix_temp/vorenta-session-*" | wc -l)
  [ "$folders" -gt "$most_folders" ] && most_folders=$folders
  sleep 0.05
done
wait "$flash_pid"
status=$?
wait "$first_pid"
first_status=$?
wait "$second_pid"
second_status=$?
tr -d '\r' <"$root/two.txt" | tail -n 3
check "two ports: exit status $status" $([ "$status" -eq 0 ]; echo $?)
check "two ports: both simulators complete" $([ "$first_status$second_status" = 00 ]; echo $?)
cmp -s "$root/first/received.bin" "$root/expected.bin"
check "two ports: first image" $?
cmp -s "$root/second/received.bin" "$root/expected.bin"
check "two ports: second image" $?
check "two ports: two session folders side by side ($most_folders seen)" \
  $([ "$most_folders" -eq 2 ]; echo $?)
check "two ports: no session folder left" $(! compgen -G "$prefix_temp/vorenta-session-*" >/dev/null; echo $?)
python3 - "$root/two.report" "$com" "$second_com" <<'PY'
import json, sys
lines = [json.loads(l) for l in open(sys.argv[1], encoding="utf-8").read().splitlines()]
ports = sorted(r["port"] for r in lines)
assert ports == sorted(["COM" + sys.argv[2], "COM" + sys.argv[3]]), ports
for r in lines:
    assert r["exitStatus"] == 0 and r["pages"] == 4, r
    assert r["device"] == "\\\\.\\" + r["port"], r
    assert r["resends"] == ({"2": 2} if r["port"] == "COM" + sys.argv[3] else {}), r
PY
check "two ports: the report holds both sessions, the resends of the second" $?
check "two ports: a session log each" $([ "$(ls "$logs_dir" | wc -l)" -eq 7 ]; echo $?)

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
