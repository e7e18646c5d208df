# Checks over the kernel's FTDI driver (ftdi_sio): a USB adapter the host
# plugs into the xHCI controller, pulls while the module is polled, plugs in
# again and pulls in the middle of a transfer.
. /vm/common.sh

wait_for /dev/ttyUSB0 || say "no adapter came"
as_udev /dev/ttyUSB0
section list-ports as operator "vorenta-flash --list-ports"
section port-list as operator "vorenta-port --list"

refusals COM33 /dev/ttyUSB0
whole_update COM33 /dev/ttyUSB0
# Before the second module's session: it never answers, stray bytes do no harm there.
section drain vm-line-probe drain /dev/ttyUSB0 3000

# The simulator's second module never answers: the adapter goes while polled.
as operator "vorenta-flash --port /dev/ttyUSB0 --wait 60 >/tmp/polled.txt 2>&1" &
pid=$!
wait_text /tmp/polled.txt "Waiting for the module" && say "want unplug while polled"
# From the moment the kernel removed the device to the program's end.
while [ -e /dev/ttyUSB0 ]; do sleep 0.02; done
gone=$(uptime_ms)
wait $pid
status=$?
say "unplug-polled ended $(($(uptime_ms) - gone)) ms after the device was removed"
show unplug-polled /tmp/polled.txt $status
section list-after-unplug as operator "vorenta-flash --list-ports"

wait_gone /dev/ttyUSB0 && say "want adapter again"
wait_for /dev/ttyUSB0 || say "no adapter came"
as_udev /dev/ttyUSB0
unplug_in_transfer COM33 /dev/ttyUSB0
