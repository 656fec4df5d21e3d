#!/usr/bin/env bash
# brovane-cli.exe under Wine against the virtual card gives what the Linux brovane-cli gives on
# the same card: the file read byte for byte, write --verify, and verify of a matching and of a
# differing file, with the same output and exit status.
# Usage: cli.sh WINDOWS-PROGRAM-FOLDER LINUX-BIN CARD-REGISTER-FILE
set -u
windows=$(realpath "$1") bin=$(realpath "$2") registers=$(realpath "$3")
source "$(dirname "$0")/windows_helpers.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/brovane-wincli.XXXXXX")
own_prefix
cleanup() {
  stop_card
  end_wine
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work" || fail "no work folder"
linux_ports "$work/COM1"
start_card "$bin" "$work/COM1" --family KFT018 --registers "$registers"

# The file's heading names the time of the read: set aside when comparing.
timeless() {
  tr -d '\r' <"$1" | sed -E 's/ on [0-9]{4}-[0-9]{2}-[0-9]{2} at [0-9:]{8}\././'
}

# Both programs, the same command: output and exit status must agree.
both() {
  local name=$1
  shift
  "$bin/brovane-cli" --quiet "$@" >"linux-$name.out" 2>"linux-$name.err"
  echo $? >"linux-$name.status"
  in_wine "$prefix" "$work/COM1" "$windows/brovane-cli.exe" --quiet "$@" \
    >"wine-$name.out" 2>"wine-$name.err"
  echo $? >"wine-$name.status"
  timeless "wine-$name.out" >"wine-$name.text"
  timeless "linux-$name.out" >"linux-$name.text"
  cmp -s "linux-$name.status" "wine-$name.status" ||
    fail "$name: exit status $(cat "linux-$name.status") on Linux, $(cat "wine-$name.status") under Wine: $(cat "wine-$name.err")"
  cmp -s "linux-$name.text" "wine-$name.text" ||
    fail "$name: the outputs differ: $(diff "linux-$name.text" "wine-$name.text" | head -20)"
}

both read read COM1 -o -
[ "$(cat linux-read.status)" = 0 ] || fail "the Linux read failed: $(cat linux-read.err)"
in_wine "$prefix" "$work/COM1" "$windows/brovane-cli.exe" --quiet read COM1 -o read.ini ||
  fail "brovane-cli.exe read -o failed"
cmp <(timeless linux-read.out) <(timeless read.ini) ||
  fail "the file brovane-cli.exe wrote differs from the card read"

# A configuration that differs from the card's: the first port's baud rate changed.
sed -e '0,/^baud *= *[0-9]*/s//baud = 2400/' read.ini >changed.ini
cmp -s read.ini changed.ini && fail "the card's file has no baud line to change"
both verify-differing verify COM1 changed.ini
[ "$(cat linux-verify-differing.status)" != 0 ] || fail "verify found no difference"
in_wine "$prefix" "$work/COM1" "$windows/brovane-cli.exe" --quiet write COM1 changed.ini --verify \
  >write.out 2>write.err || fail "brovane-cli.exe write --verify failed: $(cat write.err)"
"$bin/brovane-cli" --quiet read COM1 -o after.ini || fail "the Linux read after the write failed"
cmp <(timeless changed.ini) <(timeless after.ini) ||
  fail "the card does not hold what brovane-cli.exe wrote"
both verify-matching verify COM1 changed.ini
[ "$(cat linux-verify-matching.status)" = 0 ] || fail "verify of the written file failed"
echo PASS
