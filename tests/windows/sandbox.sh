#!/usr/bin/env bash
# The sandbox every Wine run of the tests goes through: its /dev holds only the devices Wine
# needs, COM1 is the one port the prefix names and links, and a prefix that links another
# port is refused before any program runs.
# Usage: sandbox.sh
set -u
source "$(dirname "$0")/windows_helpers.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/brovane-sandbox.XXXXXX")
own_prefix
trap 'end_wine; rm -rf "$work"' EXIT
touch "$work/card"

# What Wine sees of /dev (Z:\dev), as cmd lists it.
seen=$(in_wine "$prefix" "$work/card" cmd /c dir /b 'Z:\dev' | tr -d '\r' | sort | tr '\n' ' ')
[ "$seen" = "full null ptmx pts random tty urandom zero " ] || fail "/dev under Wine holds: $seen"
links=$(cd "$prefix/dosdevices" && ls -d com* 2>/dev/null | tr '\n' ' ')
[ "$links" = "com1 " ] || fail "the prefix links these ports: $links"
[ "$(readlink "$prefix/dosdevices/com1")" = "$prefix.com1" ] ||
  fail "COM1 leads to $(readlink "$prefix/dosdevices/com1")"

# A link to another port, as Wine makes on a first start outside the sandbox.
ln -s /dev/ttyS1 "$prefix/dosdevices/com2"
if in_wine "$prefix" "$work/card" cmd /c echo ran >"$work/out" 2>"$work/err"; then
  rm -f "$prefix/dosdevices/com2"
  fail "a prefix that links COM2 was not refused"
fi
rm -f "$prefix/dosdevices/com2"
grep -q ran "$work/out" && fail "the program ran in a prefix that links COM2"
grep -q "links com2 to /dev/ttyS1" "$work/err" || fail "the refusal does not say why: $(cat "$work/err")"
echo PASS
