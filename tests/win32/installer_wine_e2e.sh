#!/usr/bin/env bash
# The Windows installer, run: made with cpack, installed silently (/S, /D=)
# under Wine into the 64-bit program folder, its Start-menu entries, the
# installed vorenta-flash.exe updating the Linux simulator with a firmware the
# test puts beside it, and a silent uninstall that leaves nothing behind.
#   installer_wine_e2e.sh BUILD_DIR WINE_RUN VORENTA_SIM
# Runs alone (it restarts the build's wineserver to make Wine see the port).
set -uo pipefail
build=$1
wine_run=$2
sim=$3
com=44
product='Vorenta Firmware Update'
root=$(mktemp -d "${TMPDIR:-/tmp}/vorenta-installer-e2e.XXXXXX")
wine_ports='HKLM\Software\Wine\Ports'
uninstall_key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"

cleanup() {
  kill $(jobs -p) 2>/dev/null
  "$wine_run" reg delete "$wine_ports" /v "COM$com" /f >/dev/null 2>&1
  "$wine_run" --stop-server
  [ -n "${KEEP:-}" ] || rm -rf "$root"
}
trap cleanup EXIT
source "$(dirname "$0")/../support/checks.sh"

if [ ! -x "$sim" ]; then
  echo "the Linux simulator $sim is missing: build the debug preset first" >&2
  exit 1
fi

echo "--- the installer"
if ! (cd "$build" && cpack -G NSIS -B "$root/packages" >"$root/cpack.log" 2>&1); then
  cat "$root/cpack.log"
  exit 1
fi
installer=$(ls "$root"/packages/*.exe 2>/dev/null | head -n 1)
check "cpack made an installer" $([ -n "$installer" ]; echo $?)
# The PE header's machine field: 0x8664 is x86-64, 0x14c a 32-bit program.
machine=$(python3 -c '
import struct, sys
data = open(sys.argv[1], "rb").read(4096)
pe = struct.unpack_from("<I", data, 0x3C)[0]
print(hex(struct.unpack_from("<H", data, pe + 4)[0]))' "$installer")
echo "$(basename "$installer"): machine $machine"
check "the installer is a 64-bit program" $([ "$machine" = 0x8664 ]; echo $?)

"$wine_run" --start-server
prefix=$("$wine_run" --prefix)
program_files="$prefix/drive_c/Program Files"
start_menu="$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
target='C:\Program Files\Harwen Systems\Vorenta Firmware Update'
installed="$program_files/Harwen Systems/$product"
# Whatever an earlier, broken run left goes first.
rm -rf "$program_files/Harwen Systems" "$start_menu/$product"
"$wine_run" reg delete "HKLM\\Software\\Harwen Systems" /f >/dev/null 2>&1
"$wine_run" reg query "$uninstall_key" 2>/dev/null | tr -d '\r' | grep -F "$product" |
  while IFS= read -r key; do "$wine_run" reg delete "$key" /f >/dev/null 2>&1; done
snapshot() {  # what an installer may touch: files, Start menu, our keys
  (cd "$prefix/drive_c" && find "Program Files" "ProgramData/Microsoft/Windows/Start Menu" | sort)
  "$wine_run" reg query "HKLM\\Software\\Harwen Systems" 2>/dev/null | tr -d '\r'
  "$wine_run" reg query "$uninstall_key" 2>/dev/null | tr -d '\r' | grep -F "$product"
}
snapshot >"$root/before.txt"

echo "--- silent install into $target"
"$wine_run" "$installer" /S "/D=$target" >"$root/install.txt" 2>&1
status=$?
check "the installer's exit status is 0 ($status)" $status
for file in bin/vorenta-flash.exe bin/vorenta-port.exe bin/vorenta-update.exe README.txt \
  Uninstall.exe; do
  check "installed $file" $([ -f "$installed/$file" ]; echo $?)
done
check "nothing in the 32-bit program folder" \
  $(! find "$prefix/drive_c/Program Files (x86)" -path '*Harwen*' | grep -q .; echo $?)
grep -q $'\r$' "$installed/README.txt"
check "README.txt has Windows line ends" $?
grep -qF '%LOCALAPPDATA%\Harwen Systems\logs' "$installed/README.txt"
check "README.txt says where the session logs are" $?
grep -qF 'No firmware comes with this package' "$installed/README.txt"
check "README.txt says where a firmware release goes" $?
check "no firmware or description file installed" \
  $(! find "$installed" -iname '*.bin' -o -iname 'Vorenta_KT76_MM_VMM_V2.txt' | grep -q .; echo $?)
menu="$start_menu/$product"
ls "$menu" 2>/dev/null | sed 's/^/  Start menu: /'
check "Start-menu entry of the update window" \
  $(grep -aqi 'vorenta-update.exe' "$menu/$product.lnk" 2>/dev/null; echo $?)
check "Start-menu entry of the text for Windows users" $([ -f "$menu/Read me.lnk" ]; echo $?)
check "Start-menu entry of the uninstaller" $([ -f "$menu/Uninstall.lnk" ]; echo $?)
"$wine_run" reg query "$uninstall_key\\$product" /v UninstallString 2>/dev/null | tr -d '\r' |
  grep -qiF 'C:\Program Files\Harwen Systems\Vorenta Firmware Update\Uninstall.exe'
check "Apps and Features knows the uninstaller" $?

echo "--- the installed vorenta-flash.exe without a firmware"
"$wine_run" "$target\\bin\\vorenta-flash.exe" --port "COM$com" --wait 1 2>&1 | tr -d '\r' \
  >"$root/none.txt"
status=${PIPESTATUS[0]}
sed -n '1,3p' "$root/none.txt"
check "exit status 2 without a description file ($status)" $([ "$status" -eq 2 ]; echo $?)
grep -qF "Unable to open the firmware description file" "$root/none.txt"
check "the missing description file's message" $?
grep -qiF 'Vorenta Firmware Update\bin\Vorenta_KT76_MM_VMM_V2.txt' "$root/none.txt"
check "the message names the installed bin folder" $?

echo "--- the installed vorenta-flash.exe with a firmware of the test's own beside it"
# Four pages, the last one padded with 0xFF.
head -c 1000 /dev/urandom >"$root/firmware.bin"
cp "$root/firmware.bin" "$installed/bin/installer-test-firmware.bin"
printf '9.9 installer test\ninstaller-test-firmware.bin\n' \
  >"$installed/bin/Vorenta_KT76_MM_VMM_V2.txt"
{ cat "$root/firmware.bin"; head -c 24 /dev/zero | tr '\0' '\377'; } >"$root/expected.bin"
"$sim" --image "$root/received.bin" --timeout 90 >"$root/sim.txt" 2>&1 &
sim_pid=$!
device=$(sim_device "$root/sim.txt")
"$wine_run" reg add "$wine_ports" /v "COM$com" /d "$device" /f >/dev/null 2>&1
"$wine_run" --stop-server  # Wine reads its port names when its server starts
"$wine_run" "$target\\bin\\vorenta-flash.exe" --list-ports 2>&1 | tr -d '\r' >"$root/ports.txt"
sed 's/^/  /' "$root/ports.txt"
check "--list-ports names COM$com" $(grep -q "^COM$com " "$root/ports.txt"; echo $?)
"$wine_run" "$target\\bin\\vorenta-port.exe" --list 2>&1 | tr -d '\r' >"$root/port-list.txt"
check "vorenta-port --list names COM$com" $(grep -q "^COM$com " "$root/port-list.txt"; echo $?)
"$wine_run" "$target\\bin\\vorenta-flash.exe" --port "COM$com" --wait 20 >"$root/flash.txt" 2>&1
status=$?
wait "$sim_pid"
sim_status=$?
tr -d '\r' <"$root/flash.txt" | tail -n 3
check "update exit status $status" $status
check "simulator exit status $sim_status" $sim_status
grep -qF "9.9 installer test" "$root/flash.txt"
check "the description file beside the installed program was read" $?
grep -qF "Firmware Update Complete" "$root/flash.txt"
check "the update completed" $?
cmp -s "$root/received.bin" "$root/expected.bin"
check "the simulator received the page image" $?
# The test's own files go again; they are not the installer's to remove.
rm -f "$installed/bin/installer-test-firmware.bin" "$installed/bin/Vorenta_KT76_MM_VMM_V2.txt"

echo "--- silent uninstall"
"$wine_run" "$target\\Uninstall.exe" /S >"$root/uninstall.txt" 2>&1
check "the uninstaller's exit status is 0" $?
# It copies itself away and works on after its first copy ends.
for _ in $(seq 600); do [ -e "$program_files/Harwen Systems" ] || break; sleep 0.1; done
check "the program folder is gone" $([ ! -e "$program_files/Harwen Systems" ]; echo $?)
snapshot >"$root/after.txt"
if ! diff "$root/before.txt" "$root/after.txt"; then
  check "nothing left behind (files, Start menu, keys)" 1
else
  check "nothing left behind (files, Start menu, keys)" 0
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
