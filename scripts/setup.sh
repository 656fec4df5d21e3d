#!/usr/bin/env bash
# Installs the Debian packages a task needs; idempotent: asks apt only when something is missing.
#   scripts/setup.sh [SET...]     SET: build, run, test; none: all three
#     build  configuring and building every program and test, and packing the Debian package
#     run    what the programs need when they run (make run, make screenshots)
#     test   what the tests need beyond that: the Windows build under Wine, the sanitizer and
#            fuzz builds, the desktop tests, the package checks, the format check, the virtual
#            machine on the kernel's own serial drivers, the browser that prints a record
set -euo pipefail

build_packages=(
  cmake ninja-build g++ make pkg-config
  qt6-base-dev qt6-serialport-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  # bench/ping/WmPing.cpp speaks to the X server.
  libxcb1-dev
  # dpkg-buildflags (the hardening of the build), dpkg-shlibdeps and gzip (the package).
  dpkg-dev gzip
)
run_packages=(
  fonts-dejavu-core qt6-translations-l10n qt6-wayland
)
test_packages=(
  clang libclang-rt-14-dev clang-format
  xvfb openbox xdotool x11-utils imagemagick
  locales
  g++-mingw-w64-x86-64-posix wine64
  # The Windows program: its installer (makensis), the Qt for MinGW built from source where no
  # packed one is given (Debian's host tools of the same Qt, the source tools); unzip for the
  # installer test.
  nsis unzip qt6-base-dev-tools dpkg-dev xz-utils perl
  lintian desktop-file-utils appstream strace fakeroot
  at-spi2-core dbus python3-dbus
  # The virtual machine: its emulator, a kernel with its modules, the initramfs's shell and
  # packer, and the device manager that makes /dev/serial/by-id in the guest.
  qemu-system-x86 linux-image-amd64 busybox-static cpio udev
  # The commissioning record in a real browser: printed to PDF by headless chromium, its pages
  # and text read back with poppler's tools.
  chromium poppler-utils
)

sets=("$@")
[ ${#sets[@]} -eq 0 ] && sets=(build run test)
packages=()
for set in "${sets[@]}"; do
  case "$set" in
    build) packages+=("${build_packages[@]}") ;;
    run) packages+=("${run_packages[@]}") ;;
    test) packages+=("${build_packages[@]}" "${run_packages[@]}" "${test_packages[@]}") ;;
    *) echo "scripts/setup.sh: unknown set '$set' (build, run, test)" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -ne 0 ]; then
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -q
  "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# A locale with a decimal comma, for the test that numbers never follow the user's locale.
if [[ " ${sets[*]} " == *" test "* ]] && ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  echo "Generating the locale de_DE.UTF-8"
  if ! grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'de_DE.UTF-8 UTF-8' | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
  fi
  "${sudo[@]}" locale-gen
fi
