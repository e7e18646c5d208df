#!/usr/bin/env bash
# Boots a small QEMU guest on Debian's own kernel and runs vorenta-flash and
# vorenta-port inside it over the kernel's real serial drivers, with
# vorenta-sim on the host end of the line:
#   uart  the 8250 driver: an on-board 16550A (isa-serial) and a PCI UART
#         (pci-serial) that is removed in the middle of a transfer;
#   usb   the FTDI driver (ftdi_sio) behind an xHCI controller: a USB adapter
#         (usb-serial, 0403:6001) pulled while the module is polled and again
#         in the middle of a transfer.
# Each check is named in the output; the last line counts them.
#
#   vm_test.sh uart|usb BIN_DIR PROBE KERNEL_CACHE
set -uo pipefail
kind=$1
bin=$2
probe=$3
cache=$4
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/checks.sh"

fatal() {
  echo "FAILED: $*"
  echo "$passed passed, $((failed + 1)) failed"
  exit 1
}

# Without QEMU or busybox the machine cannot be had: that is a failure, never a pass.
for tool in qemu-system-x86_64 busybox socat; do
  command -v "$tool" >/dev/null ||
    fatal "$tool is not installed (./scripts/install-deps.sh installs qemu-system-x86, busybox-static and socat)"
done
kernel=$(bash "$here/fetch_kernel.sh" "$cache") || fatal "no kernel for the test machine (see above)"

root=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; wait 2>/dev/null; [ -n "${KEEP:-}" ] || rm -rf "$root"' EXIT
console=$root/console.log
monitor=$root/monitor.sock

now_ms() { date +%s%3N; }
# Filters that read their input to the end: grep -q would stop early, and
# pipefail would then count the writer's broken pipe as no match.
holds() { grep -F -- "$1" >/dev/null; }
matches() { grep -E -- "$1" >/dev/null; }

# ---- the guest's files ------------------------------------------------------

# Eight pages, the last one padded with 0xFF.
head -c 2000 /dev/urandom >"$root/firmware.bin"
{ cat "$root/firmware.bin"; head -c 48 /dev/zero | tr '\0' '\377'; } >"$root/expected.bin"

make_initramfs() {
  local stage=$root/stage
  mkdir -p "$stage"/{bin,dev,proc,sys,tmp,etc,vm,opt/vorenta,root,home/operator,home/tester}
  cp "$(command -v busybox)" "$stage/bin/busybox"
  local program
  for program in "$bin/vorenta-flash" "$bin/vorenta-port" "$probe"; do
    strip --strip-debug -o "$stage/opt/vorenta/$(basename "$program")" "$program"
    # The libraries and the loader, where the host has them.
    ldd "$program" | grep -oE '/[^ ]+' | while read -r lib; do
      [ -e "$stage$lib" ] || cp -L --parents "$lib" "$stage"
    done
  done
  # The description file and its firmware beside the programs, as installed.
  cp "$root/firmware.bin" "$stage/opt/vorenta/firmware.bin"
  printf '1.0 vm\nfirmware.bin\n' >"$stage/opt/vorenta/Vorenta_KT76_MM_VMM_V2.txt"
  # A desktop's users: one in dialout, one not (busybox has no adduser).
  cat >"$stage/etc/passwd" <<'EOF'
root:x:0:0:root:/root:/bin/sh
operator:x:1000:1000:operator:/home/operator:/bin/sh
tester:x:1001:1001:tester:/home/tester:/bin/sh
EOF
  cat >"$stage/etc/group" <<'EOF'
root:x:0:
dialout:x:20:operator
operator:x:1000:
tester:x:1001:
EOF
  cp "$here/guest_init.sh" "$stage/init"
  cp "$here/guest_lib.sh" "$stage/vm/lib.sh"
  cp "$here/guest_common.sh" "$stage/vm/common.sh"
  cp "$here/guest_$kind.sh" "$stage/vm/checks.sh"
  chmod +x "$stage/init"
  if [ "$kind" = usb ]; then
    cp -r "$kernel/modules" "$stage/vm/modules"
  fi
  (cd "$stage" && find . | busybox cpio -o -H newc 2>/dev/null) >"$root/initramfs.cpio"
}
make_initramfs || fatal "the guest's initramfs could not be made"

# ---- host side: simulators, QEMU, the monitor -------------------------------

# start_sim NAME OPTIONS...: a simulator in the background; sets sim_pid and device.
start_sim() {
  local name=$1
  shift
  "$bin/vorenta-sim" --image "$root/$name.bin" --log "$root/$name.jsonl" --timeout 240 "$@" \
    >"$root/$name.txt" 2>&1 &
  sim_pid=$!
  device=$(sim_device "$root/$name.txt")
  [ -n "$device" ] || fatal "simulator $name did not start"
}

hmp() {
  printf '%s\n' "$*" | socat -t 0.3 - "UNIX-CONNECT:$monitor" >>"$root/monitor.txt" 2>&1
}

# The console as text, without the serial line's carriage returns.
console_text() { tr -d '\r' <"$console" 2>/dev/null; }

# wait_marker TEXT SECONDS: until the guest says "@@ TEXT..." (or QEMU ended).
wait_marker() {
  local deadline=$(($(now_ms) + $2 * 1000))
  while [ "$(now_ms)" -lt "$deadline" ]; do
    console_text | matches "^@@ $1" && return 0
    kill -0 "$qemu_pid" 2>/dev/null || break
    sleep 0.02
  done
  console_text | matches "^@@ $1"
}

# wait_log NAME TEXT SECONDS: until simulator NAME's log holds TEXT.
wait_log() {
  local deadline=$(($(now_ms) + $3 * 1000))
  while [ "$(now_ms)" -lt "$deadline" ]; do
    grep -qF "$2" "$root/$1.jsonl" 2>/dev/null && return 0
    sleep 0.01
  done
  return 1
}

# section NAME: what the guest printed for it; status NAME: its exit status.
section() { console_text | sed -n "/^@@ begin $1\$/,/^@@ end $1 /p" | sed '1d;$d'; }
status() { console_text | sed -n "s/^@@ end $1 status=\([0-9]*\).*/\1/p" | head -n 1; }

# expect NAME STATUS TEXT...: section NAME ended with STATUS and holds each TEXT.
expect() {
  local name=$1 want=$2 text
  shift 2
  local got
  got=$(status "$name")
  check "$kind $name: exit status ${got:-none}, want $want" $([ "$got" = "$want" ]; echo $?)
  for text in "$@"; do
    section "$name" | holds "$text"
    check "$kind $name: says '$text'" $?
  done
}

qemu_args=(-accel tcg -M pc -m 256M -smp 1 -nodefaults -display none -no-reboot
  -kernel "$kernel/vmlinux" -initrd "$root/initramfs.cpio"
  -append "console=ttyS0 quiet loglevel=3 panic=-1 cryptomgr.notests"
  -chardev "file,id=con,path=$console" -serial chardev:con
  -monitor "unix:$monitor,server,nowait")

case $kind in
  uart)
    # Three modules on the on-board UART: one update, then a production run of two.
    start_sim onboard --modules 3
    onboard_pid=$sim_pid
    qemu_args+=(-chardev "serial,id=line,path=$device" -device isa-serial,chardev=line)
    # Slow replies on the PCI UART, so it is removed while pages still flow.
    start_sim pci --answer-poll 1 --reply-delay 150
    qemu_args+=(-chardev "serial,id=pciline,path=$device" -device pci-serial,chardev=pciline,id=pciport)
    ;;
  usb)
    # The first module is updated; the second never answers and loses its adapter.
    start_sim adapter --modules 2 --fault-module 2 --never-answer
    adapter_pid=$sim_pid
    qemu_args+=(-device qemu-xhci,id=xhci -chardev "serial,id=line,path=$device"
      -device usb-serial,chardev=line,id=adapter)
    ;;
  *) fatal "unknown kind $kind" ;;
esac

boot_start=$(now_ms)
qemu-system-x86_64 "${qemu_args[@]}" >"$root/qemu.txt" 2>&1 &
qemu_pid=$!

wait_marker init 60
check "$kind: the guest's init runs" $?
echo "$kind: init after $(($(now_ms) - boot_start)) ms"

# unplug DEVICE_ID MARKER: pulls the device, then how long until the guest's
# program that used it ended (printed in ms; 99999 when it never did).
unplug() {
  local start
  start=$(now_ms)
  hmp "device_del $1"
  if wait_marker "end $2 " 30; then
    echo $(($(now_ms) - start))
  else
    echo 99999
  fi
}

case $kind in
  uart)
    if wait_marker "want unplug in transfer" 90 && wait_log pci '"page 2 address"' 30; then
      cut_ms=$(unplug pciport unplug-transfer)
    fi
    ;;
  usb)
    if wait_marker "want unplug while polled" 90; then
      sleep 0.5 # a few polls first
      polled_ms=$(unplug adapter unplug-polled)
    fi
    if wait_marker "want adapter again" 30; then
      hmp "chardev-remove line"
      kill "$adapter_pid" 2>/dev/null
      start_sim cut --answer-poll 1 --reply-delay 150
      hmp "chardev-add serial,id=cutline,path=$device"
      hmp "device_add usb-serial,chardev=cutline,id=cutadapter"
      if wait_marker "want unplug in transfer" 60 && wait_log cut '"page 2 address"' 30; then
        cut_ms=$(unplug cutadapter unplug-transfer)
      fi
    fi
    ;;
esac

wait_marker done 120
check "$kind: the guest ran every check" $?
wait "$qemu_pid" 2>/dev/null
boot_ms=$(($(now_ms) - boot_start))
echo "$kind: the boot took $boot_ms ms"

# ---- what the guest saw -----------------------------------------------------

cmp_image() { cmp -s "$root/$1" "$root/expected.bin"; }

if [ "$kind" = uart ]; then
  port=COM2
  device=/dev/ttyS1
else
  port=COM33
  device=/dev/ttyUSB0
fi

# Listings: the port, and for the USB adapter what sysfs knows of it.
if [ "$kind" = usb ]; then
  # QEMU's adapter: maker "QEMU", product "QEMU USB SERIAL", serial from its bus position.
  adapter_texts=("COM33  /dev/ttyUSB0" "QEMU USB SERIAL (0403:6001, serial 1-" "driver ftdi_sio"
    "/dev/serial/by-id/usb-QEMU_QEMU_USB_SERIAL_1-")
  expect list-ports 0 "${adapter_texts[@]}"
  expect port-list 0 "${adapter_texts[@]}"
else
  expect list-ports 0 "COM2   /dev/ttyS1" "COM3   /dev/ttyS2"
  expect port-list 0 "COM2   /dev/ttyS1" "COM3   /dev/ttyS2"
fi

# Refusals: the dialout hint, and the process that holds the port.
expect dialout 3 "Unable to open serial port $port" "dialout"
holder=$(section held | sed -n 's/^holder pid //p')
expect held 3 "Unable to open serial port $port" "vm-line-probe" "$holder"

# A whole update, with the driver's low-latency mode and modem lines around it.
expect update 0 "Firmware Update Complete"
if [ "$kind" = uart ]; then
  first=onboard-1.bin
else
  first=adapter-1.bin
fi
cmp_image "$first"
check "$kind update: the simulator's image equals the padded firmware" $?
section mode-before | holds "low-latency off"
check "$kind low latency: off before the session" $?
section mode-during | holds "low-latency on"
check "$kind low latency: asked for during the session" $?
section mode-during | holds "DTR on RTS on"
check "$kind modem lines: DTR and RTS raised during the session" $?
section mode-after | holds "low-latency off"
check "$kind low latency: given back as it was after the session" $?
section wire-log | matches "MODEM DTR on$" && section wire-log | matches "MODEM RTS on$"
check "$kind wire log: DTR and RTS raised" $?
bad_steps=$(section wire-log | grep -cE "failed|refused")
check "$kind wire log: no failed step ($bad_steps)" $([ "$bad_steps" -eq 0 ]; echo $?)

case $kind in
  uart)
    expect production 0 '"module":1' '"module":2'
    check "uart production: both modules reported updated" \
      $([ "$(section production | grep -c '"exitStatus":0')" -eq 2 ]; echo $?)
    wait "$onboard_pid"
    check "uart production: the simulator's three modules ended complete" $?
    grep -q "3 of 3 modules updated completely" "$root/onboard.txt"
    check "uart production: three complete updates, speed checks passed" $?
    for m in 2 3; do
      cmp_image "onboard-$m.bin"
      check "uart production: module $m's image equals the padded firmware" $?
    done
    cut_port=COM3
    ;;
  usb)
    grep -q "protocol violations: 0" "$root/adapter.txt" &&
      grep -q "complete update" "$root/adapter.txt"
    check "usb update: the simulator saw a complete update, speed checks passed" $?
    expect unplug-polled 3 "Serial port COM33 is no longer available"
    # Timed in the guest, from the kernel's removal of the device; the host's
    # figure adds QEMU's and the console's own delays.
    removed_ms=$(console_text | sed -n 's/^@@ unplug-polled ended \([0-9]*\) ms after.*/\1/p')
    echo "usb: unplug while polled: the program ended ${removed_ms:-never} ms after the guest" \
      "removed the device, ${polled_ms:-none} ms after the host pulled it"
    check "usb unplug while polled: ended within 1 s (${removed_ms:-never} ms)" \
      $([ "${removed_ms:-99999}" -le 1000 ]; echo $?)
    # The window's port list, read again after the message: COM1 still, the adapter not.
    relisted=$(section unplug-polled | sed -n '/no longer available/,$p')
    echo "$relisted" | matches "^COM1 = /dev/ttyS0"
    check "usb unplug while polled: the port list is read again" $?
    echo "$relisted" | holds "/dev/ttyUSB0"
    check "usb unplug while polled: the list read again leaves out the gone device" \
      $([ $? -ne 0 ]; echo $?)
    expect list-after-unplug 0
    section list-after-unplug | holds "ttyUSB0"
    check "usb unplug while polled: --list-ports leaves it out" $([ $? -ne 0 ]; echo $?)
    cut_port=COM33
    ;;
esac

# The line gone in the middle of the transfer: at once, with the port named.
expect unplug-transfer 1 "No response from the" "Firmware update terminated." \
  "Serial port $cut_port is no longer available."
echo "$kind: unplug in the transfer ended the program after ${cut_ms:-none} ms"
check "$kind unplug in transfer: no wait for a reply that cannot come (${cut_ms:-none} ms)" \
  $([ "${cut_ms:-99999}" -lt 2500 ]; echo $?)
after_failure=$(section cut-log | sed -n '/(write failed)/,$p' | grep " TX " | tail -n +2 |
  grep -vc " TX    3C 57")
check "$kind unplug in transfer: nothing sent after the first failed write but the release" \
  $([ "$after_failure" -eq 0 ]; echo $?)
if [ "$kind" = uart ]; then
  section list-after | holds "ttyS2"
  check "uart unplug in transfer: the PCI UART is gone from the list" $([ $? -ne 0 ]; echo $?)
fi

echo "$kind: $(section drain)"

if [ "$failed" -ne 0 ] || [ -n "${VM_VERBOSE:-}" ]; then
  echo "--- the guest's console"
  console_text
  echo "--- QEMU"
  cat "$root/qemu.txt" "$root/monitor.txt" 2>/dev/null | grep -v "^(qemu)\|^QEMU" | head -20
fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
