#!/usr/bin/env bash
# Builds the Debian package of the release build, installs it with apt-get,
# runs the installed programs (their version, and a whole update against the
# installed simulator through the links in /usr/bin) and removes it again,
# together with any package its installation pulled in: the machine is left
# as it was. Needs root or password-less sudo; skipped otherwise, and skipped
# when the package is already installed (it is not ours to remove then).
set -euo pipefail
cd "$(dirname "$0")/.."

package=vorenta-update
SUDO=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
    SUDO=(sudo -n)
  else
    echo "package-test: SKIPPED: installing the package needs root or password-less sudo"
    exit 0
  fi
fi
if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
  echo "package-test: SKIPPED: $package is already installed here; it is left alone"
  exit 0
fi

jobs=$(nproc 2>/dev/null || echo 2)
cmake --preset release >/dev/null
cmake --build --preset release -j "$jobs"
rm -f build/release/${package}_*.deb
(cd build/release && cpack -G DEB >/dev/null)
deb=$(ls build/release/${package}_*.deb)
echo "package-test: built $deb"
echo "package-test: Depends: $(dpkg-deb -f "$deb" Depends)"

work=$(mktemp -d)
before="$work/packages.before"
dpkg-query -W -f='${Package}\n' | sort >"$before"
installed=0
sim_pid=""
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null
  if [ "$installed" -eq 1 ]; then
    # Purge the package and whatever came with it, nothing else.
    mapfile -t added < <(dpkg-query -W -f='${Package}\n' | sort | comm -13 "$before" -)
    DEBIAN_FRONTEND=noninteractive "${SUDO[@]}" apt-get purge -y -q \
      -o DPkg::Lock::Timeout=300 "${added[@]}" >/dev/null
    echo "package-test: removed ${added[*]}"
  fi
  rm -rf "$work"
}
trap cleanup EXIT

installed=1
DEBIAN_FRONTEND=noninteractive "${SUDO[@]}" apt-get install -y -q --no-install-recommends \
  -o DPkg::Lock::Timeout=300 "./$deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; exit 1; }

failed=0
check() {  # description, command...
  local what=$1
  shift
  if "$@"; then echo "package-test: ok: $what"; else echo "package-test: FAILED: $what"; failed=1; fi
}
check "/usr/bin/vorenta-flash links into /usr/lib/vorenta" \
  test "$(readlink -f /usr/bin/vorenta-flash)" = /usr/lib/vorenta/vorenta-flash
version=$(vorenta-flash --version)
check "vorenta-flash --version says '$version'" test "$version" = "vorenta-flash $(
  sed -n 's/^project(VorentaFirmwareUpdate VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
check "manual page installed" test -f /usr/share/man/man1/vorenta-flash.1.gz
check "desktop entry installed" test -f /usr/share/applications/vorenta-update.desktop

export XDG_CONFIG_HOME="$work/config" TMPDIR="$work"
vorenta-sim --image "$work/received.bin" --timeout 60 >"$work/sim.txt" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do [ -s "$work/sim.txt" ] && break; sleep 0.05; done
status=0
vorenta-flash --port "$(head -n 1 "$work/sim.txt")" --wait 20 --quiet || status=$?
sim_status=0
wait "$sim_pid" || sim_status=$?
sim_pid=""
check "an update with the installed firmware exits 0 (got $status)" test "$status" -eq 0
check "the installed simulator saw a complete update (exit $sim_status)" test "$sim_status" -eq 0
firmware=/usr/lib/vorenta/VMM_KT76_sample_firmware.bin
check "the module received the installed firmware" \
  cmp -s -n "$(stat -c %s "$firmware")" "$firmware" "$work/received.bin"
exit $failed
