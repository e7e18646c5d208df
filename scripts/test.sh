#!/usr/bin/env bash
# Installs what is needed, then builds and runs every test: the debug build
# (warnings are errors), the address+undefined sanitizer build, and the
# Debian package (built, installed, run and removed; skipped without root).
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
status=0
for preset in debug asan; do
  echo "=== $preset: configure and build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  echo "=== $preset: tests"
  ctest --preset "$preset" -j "$jobs" || status=1
done
echo "=== package: build, install, run and remove the Debian package"
./scripts/package-test.sh || status=1
exit $status
