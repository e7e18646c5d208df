# Checks over the kernel's 8250 driver: the on-board 16550A (ttyS1, COM2,
# with a simulator serving three modules behind it) and a PCI UART (ttyS2,
# COM3) that the host removes in the middle of a transfer.
. /vm/common.sh

as_udev /dev/ttyS1
as_udev /dev/ttyS2
section list-ports as operator "vorenta-flash --list-ports"
section port-list as operator "vorenta-port --list"

refusals COM2 /dev/ttyS1
whole_update COM2 /dev/ttyS1

section production as operator \
  "vorenta-flash --port COM2 --count 2 --report /tmp/line.jsonl; s=\$?; cat /tmp/line.jsonl; exit \$s"

unplug_in_transfer COM3 /dev/ttyS2
section list-after as operator "vorenta-flash --list-ports"
section drain vm-line-probe drain /dev/ttyS1 3000
