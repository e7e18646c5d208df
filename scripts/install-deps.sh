#!/usr/bin/env bash
# Installs the Debian packages the project needs, in two steps:
#   install-deps.sh run    what building and running the programs needs
#   install-deps.sh test   that and what the tests need (the default)
#   install-deps.sh --list run|test   prints the packages of a step, one a line
# Runs apt-get only when something is missing, so a second run is quick.
set -euo pipefail

# A compiler, CMake, wxWidgets and what the run itself uses (xdg-open for the
# About dialog's links).
run_packages=(
  build-essential cmake pkg-config
  libwxgtk3.2-dev libx11-dev
  xdg-utils
)
# The tests: GoogleTest, an X server and the tools that drive the windows, the
# Windows cross build and Wine, the real serial drivers in QEMU, the packages
# (dpkg-shlibdeps, lintian, NSIS) and clang-tidy.
test_packages=(
  libgtest-dev libgmock-dev
  xvfb xauth xdotool x11-apps x11-utils openbox imagemagick socat
  g++-mingw-w64-x86-64-posix googletest wine wine64 nsis fonts-wine
  qemu-system-x86 busybox-static xz-utils
  dpkg-dev file lintian python3 clang-tidy
)

list=0
if [ "${1:-}" = --list ]; then
  list=1
  shift
fi
case "${1:-test}" in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
  *)
    echo "usage: install-deps.sh [--list] [run|test]" >&2
    exit 2
    ;;
esac
if [ "$list" -eq 1 ]; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi

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
