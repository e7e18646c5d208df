#!/usr/bin/env bash
# Installs what is needed, then builds and runs every test: the debug build
# (warnings are errors; with it the real-driver tests in a QEMU guest, label
# vm), the address+undefined sanitizer build, and the
# Windows cross build with its tests under Wine, and the Debian package (built,
# installed, run and removed; skipped without root).
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh test

jobs=$(nproc 2>/dev/null || echo 2)
status=0
for preset in debug asan; do
  echo "=== $preset: configure and build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  echo "=== $preset: tests"
  ctest --preset "$preset" -j "$jobs" || status=1
done

# The Windows programs, cross-built with MinGW-w64 and tested under Wine; the
# end-to-end test drives the debug build's simulator.
echo "=== win64: configure and build"
cmake --preset win64 -DVORENTA_LINUX_SIM="$PWD/build/debug/bin/vorenta-sim" >/dev/null
cmake --build --preset win64 -j "$jobs"
echo "=== win64: tests under Wine"
ctest --preset win64 -j "$jobs" || status=1

echo "=== package: build, install, run and remove the Debian package"
./scripts/package-test.sh || status=1
exit $status
