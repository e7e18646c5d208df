# The checks both kinds of line run (busybox sh).

# refusals COMn DEVICE: a user outside dialout, and a port another program of
# the same user holds.
refusals() {
  section dialout as tester "vorenta-flash --port $1"
  as operator "vm-line-probe hold $2 30" >/tmp/hold.txt 2>&1 &
  wait_text /tmp/hold.txt holding 50
  holder=$(sed -n 's/.* as pid //p' /tmp/hold.txt)
  section held as operator "vorenta-flash --port $1; s=\$?; echo holder pid $holder; exit \$s"
  kill "$holder"
  wait
}

# whole_update COMn DEVICE: the simulator's first module, updated whole; the
# driver's low-latency mode and the modem lines before, during and after.
whole_update() {
  section mode-before vm-line-probe mode "$2"
  as operator "vorenta-flash --port $1 --wait 60 --log /tmp/wire.log >/tmp/update.txt 2>&1" &
  pid=$!
  wait_text /tmp/update.txt "Waiting for the module" 300
  section mode-during vm-line-probe mode "$2"
  wait $pid
  show update /tmp/update.txt $?
  section mode-after vm-line-probe mode "$2"
  section wire-log cat /tmp/wire.log
}

# unplug_in_transfer COMn DEVICE: the host pulls the device once pages flow.
unplug_in_transfer() {
  as operator "vorenta-flash --port $1 --wait 60 --log /tmp/cut.log >/tmp/cut.txt 2>&1" &
  pid=$!
  wait_text /tmp/cut.txt "Waiting for the module" 300 && say "want unplug in transfer"
  wait $pid
  show unplug-transfer /tmp/cut.txt $?
  section cut-log cat /tmp/cut.log
}
