#!/usr/bin/env bash
# Installs what is needed, builds the utility and runs it.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc 2>/dev/null || echo 2)"
exec ./build/release/tools/vorenta-port/vorenta-port --list
