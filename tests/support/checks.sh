# Sourced by the end-to-end scripts: counts named checks, and reads the device
# a simulator prints as its first line.

passed=0
failed=0
check() {  # name, status (0: the check holds)
  if [ "$2" -eq 0 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $1"; fi
}

# sim_device FILE: waits up to 5 s for the simulator's output FILE to name its
# device, then prints that first line (empty when it never came).
sim_device() {
  for _ in $(seq 100); do [ -s "$1" ] && break; sleep 0.05; done
  head -n 1 "$1" 2>/dev/null
}
