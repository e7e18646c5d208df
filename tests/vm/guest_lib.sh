# Sourced by the test machine's checks (busybox sh). The host reads sections:
#   @@ begin NAME
#   ...what the command printed...
#   @@ end NAME status=N
# and waits for "@@ want ..." lines to do what the guest cannot (plug, unplug).

say() {
  echo "@@ $*"
}

# The guest's clock in milliseconds (/proc/uptime counts hundredths).
uptime_ms() {
  read -r up _ </proc/uptime
  # "12.05" -> 1205 hundredths; the guest has been up for seconds, so no leading zero.
  echo $((${up%.*}${up#*.} * 10))
}

# section NAME COMMAND...: runs the command, its output framed.
section() {
  name=$1
  shift
  say "begin $name"
  "$@" 2>&1
  say "end $name status=$?"
}

# show NAME FILE STATUS: a file written by a command run in the background.
show() {
  say "begin $1"
  cat "$2"
  say "end $1 status=$3"
}

# as USER COMMAND: runs a command line as a user, in a login-like environment.
as() {
  su "$1" -c "cd; $2"
}

# wait_for PATH [TENTHS]: until the path exists (a device the host plugs in).
wait_for() {
  n=${2:-300}
  while [ ! -e "$1" ] && [ "$n" -gt 0 ]; do
    sleep 0.1
    n=$((n - 1))
  done
  [ -e "$1" ]
}

# wait_gone PATH [TENTHS]
wait_gone() {
  n=${2:-300}
  while [ -e "$1" ] && [ "$n" -gt 0 ]; do
    sleep 0.1
    n=$((n - 1))
  done
  [ ! -e "$1" ]
}

# wait_text FILE TEXT [TENTHS]: until the file holds the text.
wait_text() {
  n=${3:-300}
  while ! grep -qF "$2" "$1" 2>/dev/null && [ "$n" -gt 0 ]; do
    sleep 0.1
    n=$((n - 1))
  done
  grep -qF "$2" "$1" 2>/dev/null
}

# as_udev DEVICE: what udev's rules do on a desktop when a serial port
# appears (this machine has no udev): group dialout, mode 0660, and for a USB
# adapter the stable name usb-<maker>_<product>_<serial>-if00-port0, blanks as "_".
as_udev() {
  chgrp dialout "$1"
  chmod 0660 "$1"
  name=${1##*/}
  usb=$(readlink -f "/sys/class/tty/$name/device/../..")
  if [ -f "$usb/idVendor" ]; then
    id="usb-$(cat "$usb/manufacturer")_$(cat "$usb/product")_$(cat "$usb/serial")-if00-port0"
    mkdir -p /dev/serial/by-id
    ln -sf "../../$name" "/dev/serial/by-id/$(echo "$id" | tr ' ' '_')"
  fi
}
