#!/usr/bin/env bash
# brovane-cli on the Linux kernel's own serial drivers: a small QEMU machine (software emulation)
# with a 16550 UART (8250 driver, guest ttyS1) and an FTDI FT232 USB adapter (ftdi_sio, guest
# ttyUSB0), a virtual card on the host end of each line and the guest's kernel console on ttyS0.
# The guest runs on the host's own /usr and /etc, shared read-only, and runs guest-checks.sh;
# this script then compares the cards' registers with what the guest wrote and read.
#
# QEMU never opens a serial device of the host: its two guest lines go to the cards'
# pseudo-terminals and the guest console to a file; no network, no display, no monitor.
# Usage: vm-drivers.sh PROGRAM-FOLDER CARD-REGISTERS   (as root where /boot/vmlinuz-* is
# readable by root only)
set -u
shopt -s extglob
bin=$(cd "$1" && pwd)
card_a=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
here=$(cd "$(dirname "$0")" && pwd)
# The bound of the guest's run, most of the test's time (about two minutes here); every other
# wait has a bound of its own.
guest_seconds=240

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

kernel_release=""
for image in /boot/vmlinuz-*; do
  release=${image#/boot/vmlinuz-}
  [ -d "/lib/modules/$release/kernel" ] && kernel_release=$release
done
[ -n "$kernel_release" ] || fail "no kernel image with its modules (Debian package linux-image-amd64)"
kernel=/boot/vmlinuz-$kernel_release
modules=/lib/modules/$kernel_release
[ -r "$kernel" ] || fail "$kernel cannot be read: run the test as root"
for tool in qemu-system-x86_64 cpio; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/setup.sh test)"
done
ldd /bin/busybox 2>&1 | grep -q 'not a dynamic' ||
  fail "no static busybox (Debian package busybox-static)"
[ -x /lib/systemd/systemd-udevd ] || fail "no systemd-udevd (Debian package udev)"

work=$(mktemp -d "${TMPDIR:-/tmp}/brovane-vm.XXXXXX")
sim_a="" sim_b="" sim_c="" qemu=""
stop() {
  local p
  for p in "$@"; do
    if [ -n "$p" ] && kill -0 "$p" 2>/dev/null; then
      kill "$p" 2>/dev/null
      wait "$p" 2>/dev/null
    fi
  done
}
cleanup() {
  stop "$qemu" "$sim_a" "$sim_b" "$sim_c"
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# The test's own programs see no BROVANE_COMn of the caller: all seven lead nowhere.
for n in 1 2 3 4 5 6 7; do
  export "BROVANE_COM$n=$work/no-port-$n"
done

# Starts a virtual card: start_card VARIABLE NAME ARGS...; VARIABLE gets its PID, and
# $work/NAME.pty its pseudo-terminal once it is ready (waited for up to 10 s).
start_card() {
  local variable=$1 name=$2 deadline
  shift 2
  "$bin/quorix-sim" --dump "$work/$name.dump" "$@" >"$work/$name.pty" 2>"$work/$name.log" &
  printf -v "$variable" '%s' "$!"
  deadline=$((SECONDS + 10))
  while [ ! -s "$work/$name.pty" ] && kill -0 "${!variable}" 2>/dev/null &&
    [ "$SECONDS" -lt "$deadline" ]; do
    sleep 0.05
  done
  [ -s "$work/$name.pty" ] || fail "the virtual card $name did not start: $(cat "$work/$name.log")"
  # QEMU is given only pseudo-terminals, never another device of the host.
  [[ $(cat "$work/$name.pty") == /dev/pts/+([0-9]) ]] ||
    fail "the virtual card $name is not on a pseudo-terminal: $(cat "$work/$name.pty")"
}

# Ends a card and waits for its register dump, written at exit.
finish_card() {
  local variable=$1
  stop "${!variable}"
  printf -v "$variable" '%s' ""
}

echo "1. Each card's registers as a card holds them, and the configuration that both cards get at"
echo "   once, read here from a card with $here/card-c.reg."
out=$work/out
mkdir -p "$out"
start_card sim_c expected-a --registers "$card_a"
finish_card sim_c
start_card sim_c expected-b --registers "$here/card-b.reg"
finish_card sim_c
cmp -s "$work/expected-a.dump" "$work/expected-b.dump" && fail "cards A and B hold the same registers"
start_card sim_c c --registers "$here/card-c.reg"
timeout 60 "$bin/brovane-cli" --quiet read "$(cat "$work/c.pty")" -o "$out/card-c.cfg" ||
  fail "brovane-cli cannot read the card on a pseudo-terminal"
finish_card sim_c

echo "2. The guest: its initramfs, the two cards and QEMU."
initramfs=$work/initramfs
mkdir -p "$initramfs/modules"
cp /bin/busybox "$initramfs/busybox"
cp "$here/guest-init.sh" "$initramfs/init"
chmod +x "$initramfs/init"
# The modules of the shares, each after the modules it needs (modules.dep names them).
: >"$initramfs/modules.list"
add_module() {
  local entry path dependency
  entry=$(grep -E "/$1\.ko(\.[a-z]+)?:" "$modules/modules.dep") || return 0
  path=${entry%%:*}
  grep -qx "$(basename "$path")" "$initramfs/modules.list" && return 0
  for dependency in ${entry#*:}; do
    add_module "$(basename "${dependency%%.ko*}")"
  done
  cp "$modules/$path" "$initramfs/modules/"
  basename "$path" >>"$initramfs/modules.list"
}
for module in virtio_pci 9pnet_virtio 9p; do
  add_module "$module"
done
(cd "$initramfs" && find . | cpio -o -H newc --quiet) >"$work/initramfs.cpio" ||
  fail "cannot pack the initramfs"
cp "$here/guest-checks.sh" "$out/"

start_card sim_a a --hardware 5 --registers "$card_a"
start_card sim_b b --hardware 9 --registers "$here/card-b.reg"
qemu-system-x86_64 -nodefaults -no-user-config -machine pc,accel=tcg -m 512 -smp 1 \
  -display none -nic none -no-reboot \
  -kernel "$kernel" -initrd "$work/initramfs.cpio" \
  -append "console=ttyS0 panic=-1 quiet" \
  -chardev file,id=console,path="$work/console.log" -serial chardev:console \
  -chardev tty,id=uart,path="$(cat "$work/a.pty")" -serial chardev:uart \
  -device qemu-xhci,id=xhci \
  -chardev tty,id=adapter,path="$(cat "$work/b.pty")" -device usb-serial,bus=xhci.0,chardev=adapter \
  -virtfs local,path=/usr,mount_tag=usr,security_model=none,readonly=on \
  -virtfs local,path=/etc,mount_tag=etc,security_model=none,readonly=on \
  -virtfs local,path="$bin",mount_tag=bin,security_model=none,readonly=on \
  -virtfs local,path="$out",mount_tag=out,security_model=none \
  >"$work/qemu.log" 2>&1 &
qemu=$!
timeout "$guest_seconds" tail --pid="$qemu" -f /dev/null
guest_ended=$?
echo "--- the guest's log"
cat "$out/guest.log" 2>/dev/null
echo "---"
[ "$guest_ended" -eq 0 ] || fail "the guest did not end within $guest_seconds s"
wait "$qemu" || fail "QEMU failed: $(cat "$work/qemu.log")"
qemu=""
[ -e "$out/finished" ] || fail "the guest's checks did not run to the end; console: $(tail -n 20 "$work/console.log")"
[ -s "$out/failures" ] && fail "in the guest: $(cat "$out/failures")"

echo "3. The cards' registers against what the guest wrote."
finish_card sim_a
finish_card sim_b
# The guest read card A (the UART) into a.cfg and card B (the adapter) into b.cfg, then wrote
# them crosswise: each card now holds the other's first registers.
diff -u "$work/expected-b.dump" "$work/a.dump" ||
  fail "card A (UART) does not hold card B's registers after the write through ttyS1"
diff -u "$work/expected-a.dump" "$work/b.dump" ||
  fail "card B (adapter) does not hold card A's registers after the write through ttyUSB0"
# A file's heading names the port and the time of the read; the settings below it must agree.
settings() { grep -v '^#' "$1"; }
diff -u <(settings "$out/b.cfg") <(settings "$out/b-by-id.cfg") ||
  fail "the read through /dev/serial/by-id differs from the read of COM1"
for port in COM1 COM2; do
  diff -u <(settings "$out/card-c.cfg") <(settings "$out/both/$port.cfg") ||
    fail "after the write to two cards at once the card on $port holds other settings"
done

echo "4. The guest's console holds no card frame."
[ -s "$work/console.log" ] || fail "the guest wrote nothing to its console"
if LC_ALL=C grep -q -e $'\x02' -e 'XI00' -e 'XG04' "$work/console.log"; then
  fail "a card frame went to the guest's console"
fi
echo "PASS"
