#!/usr/bin/bash
# The checks inside the guest of vm-drivers.sh: brovane-cli on the kernel's own drivers. The
# guest has a 16550 UART as ttyS1 (the 8250 driver) and an FTDI FT232 adapter as ttyUSB0
# (ftdi_sio), a virtual card on the far end of each: card A (hardware value 5) on the UART, card
# B (hardware value 9) on the adapter; ttyS0 is the kernel console. The files go to /out, where
# the host compares them and the cards' registers; every failure is a line in /out/failures,
# and /out/finished says that the checks ran to the end.
set -u
export PATH=/usr/sbin:/usr/bin HOME=/tmp TMPDIR=/tmp LC_ALL=C.UTF-8
cli=/opt/brovane/brovane-cli
out=/out
: >"$out/failures"
# No BROVANE_COMn: the guest's own devices decide what COM1 to COM7 are.
for n in 1 2 3 4 5 6 7; do
  unset "BROVANE_COM$n"
done

fail() {
  echo "FAIL: $*"
  echo "$*" >>"$out/failures"
}

# Runs brovane-cli with a bound, its standard output to /out/NAME.out and its standard error to
# /out/NAME.err; fails unless it ends with exit code 0.
run() {
  local name=$1 code
  shift
  echo "== $name ($SECONDS s): brovane-cli $*"
  timeout 90 "$cli" --quiet "$@" >"$out/$name.out" 2>"$out/$name.err"
  code=$?
  cat "$out/$name.out" "$out/$name.err"
  [ "$code" -eq 0 ] || fail "$name: brovane-cli $* ended with exit code $code: $(cat "$out/$name.err")"
}

# Waits up to SECONDS for PATH to exist.
wait_for() {
  local path=$1 deadline=$((SECONDS + $2))
  while [ ! -e "$path" ] && [ "$SECONDS" -lt "$deadline" ]; do
    sleep 0.1
  done
  [ -e "$path" ]
}

echo "== the guest's devices (up $(cut -d" " -f1 /proc/uptime) s)"
# The USB host and the adapter's driver by hand; udev only for the serial devices' names, so
# that it loads no other driver.
modprobe -a xhci_pci ftdi_sio
/lib/systemd/systemd-udevd --daemon
udevadm trigger --action=add --subsystem-match=usb --subsystem-match=usb-serial \
  --subsystem-match=tty
wait_for /dev/ttyUSB0 30 || fail "no ttyUSB0 from the emulated FT232"
udevadm settle --timeout=60
cat /proc/consoles
for tty in ttyS0 ttyS1 ttyS2 ttyUSB0; do
  echo "$tty: driver $(basename "$(readlink -f "/sys/class/tty/$tty/device/driver")")," \
    "type $(cat "/sys/class/tty/$tty/type" 2>/dev/null)"
done
ls -l /dev/serial/by-id/ 2>&1
grep -q '^ttyS0 ' /proc/consoles || fail "ttyS0 is not the guest's console: $(cat /proc/consoles)"
[ "$(basename "$(readlink -f /sys/class/tty/ttyUSB0/device/driver)")" = ftdi_sio ] ||
  fail "ttyUSB0 is not driven by ftdi_sio"
# 4 is the 8250 driver's PORT_16550A.
[ "$(cat /sys/class/tty/ttyS1/type)" = 4 ] || fail "ttyS1 is no 16550A of the 8250 driver"

echo "== the port list with nothing set"
run ports ports
grep -Eq '^COM1 +/dev/ttyUSB0 ' "$out/ports.out" || fail "COM1 is not the adapter: $(cat "$out/ports.out")"
grep -Eq '^COM2 +/dev/ttyS1 ' "$out/ports.out" || fail "COM2 is not the UART: $(cat "$out/ports.out")"
grep -q 'ttyS0' "$out/ports.out" && fail "the console is listed: $(cat "$out/ports.out")"

run probe ports --probe
grep -Eq '^COM1 +/dev/ttyUSB0 .*Quorix card KFT018-01-01, family KFT018, hardware value 9$' \
  "$out/probe.out" || fail "the probe did not find card B on the adapter"
grep -Eq '^COM2 +/dev/ttyS1 .*Quorix card KFT018-01-01, family KFT018, hardware value 5$' \
  "$out/probe.out" || fail "the probe did not find card A on the UART"
[ "$(grep -c 'Quorix card' "$out/probe.out")" -eq 2 ] || fail "the probe did not find two cards"
grep -q 'ttyS0' "$out/probe.out" && fail "the probe names the console"

echo "== a read through each driver"
run read-uart read /dev/ttyS1 -o "$out/a.cfg"
run read-com1 read COM1 -o "$out/b.cfg"
by_id=(/dev/serial/by-id/usb-*-port0)
if [ ${#by_id[@]} -eq 1 ] && [ -e "${by_id[0]}" ]; then
  run read-by-id read "${by_id[0]}" -o "$out/b-by-id.cfg"
else
  fail "udev made no single /dev/serial/by-id name for the adapter: ${by_id[*]}"
fi

echo "== two cards at once through both drivers"
run both write COM1,COM2 "$out/card-c.cfg" --verify
grep -Eq '^COM1 +/dev/ttyUSB0 +KFT018-01-01 +written and verified' "$out/both.out" ||
  fail "COM1 (the adapter) was not written and verified"
grep -Eq '^COM2 +/dev/ttyS1 +KFT018-01-01 +written and verified' "$out/both.out" ||
  fail "COM2 (the UART) was not written and verified"
mkdir -p "$out/both"
run both-read read COM1,COM2 -o "$out/both"

echo "== write --verify through each driver: the cards swap their first contents"
run write-uart write /dev/ttyS1 "$out/b.cfg" --verify
run write-adapter write /dev/ttyUSB0 "$out/a.cfg" --verify

echo "== the end ($SECONDS s)"
touch "$out/finished"
