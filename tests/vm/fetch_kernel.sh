#!/usr/bin/env bash
# Takes Debian's current kernel out of its package without installing it: the
# ELF image that QEMU boots directly (no decompressor, no BIOS), its config,
# and the USB serial modules, uncompressed for busybox insmod. Kept in CACHE;
# prints the folder that holds them.
#
#   fetch_kernel.sh CACHE
set -euo pipefail
cache=$1
# In load order.
modules=(usb-common usbcore xhci-hcd xhci-pci usbserial ftdi_sio)

fail() {
  echo "vm: $*" >&2
  exit 1
}

kernel_package() {
  apt-cache depends linux-image-amd64 2>/dev/null |
    sed -n 's/^ *Depends: \(linux-image-[0-9][^ ]*\)$/\1/p' | head -n 1
}

mkdir -p "$cache"
exec 9>"$cache/.lock"
flock 9 # the boots of one test run share the download

package=$(kernel_package)
if [ -z "$package" ] && [ "$(id -u)" -eq 0 ]; then
  apt-get update -q >/dev/null 2>&1 || true
  package=$(kernel_package)
fi
[ -n "$package" ] || fail "apt-cache does not know linux-image-amd64 (no package lists):" \
  "run 'apt-get update' as root, or ./scripts/install-deps.sh"

dir="$cache/$package"
if [ -f "$dir/ready" ]; then
  echo "$dir"
  exit 0
fi
work="$dir.partial"
rm -rf "$work" "$dir"
mkdir -p "$work"
chmod 0777 "$work" # apt's download user writes here too
if ! (cd "$work" && apt-get download -q "$package") >"$work/download.txt" 2>&1; then
  cat "$work/download.txt" >&2
  fail "apt-get download $package failed (is the package mirror reachable?)"
fi

deb=$(ls "$work"/*.deb)
patterns=('./boot/vmlinuz-*' './boot/config-*')
for m in "${modules[@]}"; do
  patterns+=("*/$m.ko*")
done
dpkg-deb --fsys-tarfile "$deb" | tar -x -C "$work" --wildcards "${patterns[@]}"
rm -f "$deb"

mkdir -p "$work/out/modules"
for m in "${modules[@]}"; do
  file=$(find "$work" -name "$m.ko*" | head -n 1)
  [ -n "$file" ] || fail "$m is not in $package"
  case "$file" in
    *.ko) cp "$file" "$work/out/modules/$m.ko" ;;
    *.ko.xz) xz -dc "$file" >"$work/out/modules/$m.ko" ;;
    *.ko.zst) zstd -qdc "$file" >"$work/out/modules/$m.ko" ;;
    *) fail "$file: unknown compression" ;;
  esac
done
printf '%s\n' "${modules[@]}" >"$work/out/modules/order"
cp "$work"/boot/config-* "$work/out/config"

# vmlinuz is a decompressor with the kernel as an xz stream inside: try each
# place the xz magic occurs until one unpacks to an ELF image (xz complains
# about what follows the stream; the image is whole by then).
vmlinuz=$(ls "$work"/boot/vmlinuz-*)
for offset in $(LC_ALL=C grep -obUaP '\xFD7zXZ\x00' "$vmlinuz" | cut -d: -f1); do
  tail -c +$((offset + 1)) "$vmlinuz" | xz -dc >"$work/out/vmlinux" 2>/dev/null || true
  if [ "$(head -c 4 "$work/out/vmlinux" | od -An -tx1 | tr -d ' ')" = 7f454c46 ]; then
    break
  fi
  rm -f "$work/out/vmlinux"
done
[ -s "$work/out/vmlinux" ] || fail "no xz-compressed ELF kernel found in $(basename "$vmlinuz")"

mv "$work/out" "$dir"
rm -rf "$work"
touch "$dir/ready"
echo "$dir"
