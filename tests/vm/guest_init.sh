#!/bin/busybox sh
# The test machine's init: a busybox userland, the devices as the kernel makes
# them, users as a desktop has them, then the checks of this boot. Everything
# the host reads comes out on the console, marked "@@".
/bin/busybox --install -s /bin
export PATH=/bin:/opt/vorenta
mount -t proc proc /proc
mount -t sysfs sys /sys
mount -t devtmpfs dev /dev
mount -t tmpfs tmp /tmp
chown -R operator:operator /home/operator
chown -R tester:tester /home/tester
echo "@@ init $(cut -d' ' -f1 /proc/uptime)"

if [ -f /vm/modules/order ]; then
  for module in $(cat /vm/modules/order); do
    insmod "/vm/modules/$module.ko" || echo "@@ insmod $module failed"
  done
fi

. /vm/lib.sh
. /vm/checks.sh
echo "@@ done $(cut -d' ' -f1 /proc/uptime)"
poweroff -f
