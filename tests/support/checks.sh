# Sourced by the end-to-end scripts: counts named checks, reads the device a
# simulator prints as its first line, and waits for conditions (never for a
# guessed time).

passed=0
failed=0
check() {  # name, status (0: the check holds)
  if [ "$2" -eq 0 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $1"; fi
}

# sim_device FILE: waits up to 5 s for the simulator's output FILE to name its
# device, then prints that first line (empty when it never came).
sim_device() {
  wait_until 5 test -s "$1"
  head -n 1 "$1" 2>/dev/null
}

# wait_until SECONDS COMMAND...: runs COMMAND every 50 ms until it succeeds;
# fails when SECONDS have passed without that.
wait_until() {
  local tries=$(($1 * 20))
  shift
  for _ in $(seq "$tries"); do "$@" >/dev/null 2>&1 && return 0; sleep 0.05; done
  return 1
}

# wait_for FILE TEXT: until FILE holds TEXT (at most 20 s).
wait_for() {
  wait_until 20 grep -qF -- "$2" "$1"
}
