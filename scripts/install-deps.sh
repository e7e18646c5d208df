#!/usr/bin/env bash
# Installs the Debian packages the project builds, runs and tests with.
# Runs apt-get only when something is missing, so a second run is quick.
set -euo pipefail

packages=(
  build-essential cmake pkg-config dpkg-dev file
  libgtest-dev libgmock-dev
  libwxgtk3.2-dev libx11-dev
  xvfb xauth xdotool x11-apps x11-utils openbox imagemagick socat
  xdg-utils
  g++-mingw-w64-x86-64-posix googletest wine wine64 nsis
  fonts-wine
  qemu-system-x86 busybox-static xz-utils
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if ! command -v apt-get >/dev/null 2>&1; then
  echo "install-deps: apt-get not found. Install these packages by hand: ${missing[*]}" >&2
  exit 1
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    SUDO=sudo
  else
    echo "install-deps: run as root or install sudo; missing: ${missing[*]}" >&2
    exit 1
  fi
fi

echo "install-deps: installing ${missing[*]}"
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
