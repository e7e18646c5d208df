#!/usr/bin/env bash
# Builds the Debian package of the release build, checks it with lintian (any
# error or warning fails) and that it holds no firmware, installs it with
# apt-get, runs the installed programs (their version, the message for a
# missing description file, and a whole update of a firmware of the test's own
# against the installed simulator through the links in /usr/bin) and removes
# it again, together with any package its installation pulled in: the machine
# is left as it was. Needs root or password-less sudo; skipped otherwise, and
# skipped when the package is already installed (it is not ours to remove then).
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

failed=0
check() {  # description, command...
  local what=$1
  shift
  if "$@"; then echo "package-test: ok: $what"; else echo "package-test: FAILED: $what"; failed=1; fi
}

# Debian's own checks. lintian should not run as root, so as root it runs as
# nobody, on a copy nobody can read wherever the clone is.
if ! command -v lintian >/dev/null 2>&1; then
  echo "package-test: lintian not found (./scripts/install-deps.sh test installs it)"
fi
run_lintian() {  # package; sets lintian_status and lintian_out
  local cmd=(lintian --fail-on "error,warning" --display-info) dir="" file=$1
  if [ "$(id -u)" -eq 0 ] && command -v runuser >/dev/null 2>&1; then
    dir=$(mktemp -d)
    chown nobody "$dir"
    install -m 644 "$1" "$dir/"
    file=$dir/$(basename "$1")
    cmd=(runuser -u nobody -- env HOME="$dir" "${cmd[@]}")
  fi
  lintian_status=0
  lintian_out=$(cd / && "${cmd[@]}" "$(realpath "$file")" 2>&1) || lintian_status=$?
  [ -z "$dir" ] || rm -rf "$dir"
}
run_lintian "$deb"
echo "package-test: lintian (exit $lintian_status):"
[ -z "$lintian_out" ] || sed 's/^/  /' <<<"$lintian_out"
check "lintian reports no error and no warning" test "$lintian_status" -eq 0
# The same run fails on a warning: a copy of the package with a description
# line too long.
spoilt=$(mktemp -d)
dpkg-deb -R "$deb" "$spoilt/tree"
sed -i '/^Description:/{n;s/$/ and a line much longer than eighty characters/}' \
  "$spoilt/tree/DEBIAN/control"
dpkg-deb -b --root-owner-group "$spoilt/tree" "$spoilt/spoilt.deb" >/dev/null
run_lintian "$spoilt/spoilt.deb"
rm -rf "$spoilt"
check "lintian's run fails on a warning (exit $lintian_status)" \
  grep -q "^W: .*extended-description-line-too-long" <<<"$lintian_out"
check "and the exit status says so" test "$lintian_status" -ne 0

# A firmware comes from its release, never from this package.
contents=$(dpkg-deb -c "$deb" | awk '{print $NF}')
check "the package holds no description file" \
  test -z "$(grep -F 'Vorenta_KT76_MM_VMM_V2.txt' <<<"$contents")"
check "the package holds no firmware file" test -z "$(grep -E '\.(bin|hex)$' <<<"$contents")"
for doc in copyright changelog.gz; do
  check "the package holds /usr/share/doc/$package/$doc" \
    grep -qx "\./usr/share/doc/$package/$doc" <<<"$contents"
done

work=$(mktemp -d)
before="$work/packages.before"
dpkg-query -W -f='${Package}\n' | sort >"$before"
installed=0
sim_pid=""
program_dir=/usr/lib/vorenta
description=$program_dir/Vorenta_KT76_MM_VMM_V2.txt
firmware=$program_dir/package-test-firmware.bin
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null
  # The test's own firmware files are not the package's to remove.
  [ "$installed" -eq 1 ] && "${SUDO[@]}" rm -f "$description" "$firmware"
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

check "/usr/bin/vorenta-flash links into /usr/lib/vorenta" \
  test "$(readlink -f /usr/bin/vorenta-flash)" = /usr/lib/vorenta/vorenta-flash
version=$(vorenta-flash --version)
check "vorenta-flash --version says '$version'" test "$version" = "vorenta-flash $(
  sed -n 's/^project(VorentaFirmwareUpdate VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
check "manual page installed" test -f /usr/share/man/man1/vorenta-flash.1.gz
check "desktop entry installed" test -f /usr/share/applications/vorenta-update.desktop

export XDG_CONFIG_HOME="$work/config" TMPDIR="$work"
check "no firmware installed" test -z "$(find "$program_dir" -type f ! -perm -u+x)"

# Without a firmware release the programs say that the description file is missing.
flash_status=0
vorenta-flash --port /dev/null --wait 1 >"$work/none.txt" 2>&1 || flash_status=$?
check "without a firmware, vorenta-flash exits 2 (got $flash_status)" test "$flash_status" -eq 2
check "and says that it is unable to open the firmware description file" \
  grep -qF "Unable to open the firmware description file" "$work/none.txt"
check "named $description" grep -qF "$description" "$work/none.txt"

# A firmware of the test's own: four pages, the last one padded with 0xFF.
head -c 1000 /dev/urandom >"$work/firmware.bin"
{ cat "$work/firmware.bin"; head -c 24 /dev/zero | tr '\0' '\377'; } >"$work/expected.bin"
"${SUDO[@]}" install -m 644 "$work/firmware.bin" "$firmware"
printf '9.9 package test\n%s\n' "$(basename "$firmware")" >"$work/description.txt"
"${SUDO[@]}" install -m 644 "$work/description.txt" "$description"

vorenta-sim --image "$work/received.bin" --timeout 60 >"$work/sim.txt" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do [ -s "$work/sim.txt" ] && break; sleep 0.05; done
status=0
vorenta-flash --port "$(head -n 1 "$work/sim.txt")" --wait 20 >"$work/flash.txt" 2>&1 || status=$?
sim_status=0
wait "$sim_pid" || sim_status=$?
sim_pid=""
check "an update with the test's firmware exits 0 (got $status)" test "$status" -eq 0
check "the installed simulator saw a complete update (exit $sim_status)" test "$sim_status" -eq 0
check "the description file beside the installed programs was read" \
  grep -qF "9.9 package test" "$work/flash.txt"
check "the module received the test's firmware" cmp -s "$work/expected.bin" "$work/received.bin"
[ "$failed" -eq 0 ] || for f in none flash; do echo "--- $f.txt"; cat "$work/$f.txt"; done
exit $failed
