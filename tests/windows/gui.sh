#!/usr/bin/env bash
# brovane.exe under Wine on a virtual display, driven as a person drives it: the font its
# dialogs use comes from its folder; the whole pass (language, port, read, sheet, program)
# against the virtual card, with the language files beside the program; a silent card's
# message; the exit codes.
# Usage (under scripts/desktop-run.sh):
#   gui.sh WINDOWS-PROGRAM-FOLDER LINUX-BIN CARD-REGISTER-FILE FONT-PROBE.exe
set -u
windows=$1 bin=$2 registers=$3 probe=$4
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../desktop/desktop_helpers.sh"
source "$here/windows_helpers.sh"
export BROVANE_WINE_DISPLAY=1

work=$(mktemp -d "${TMPDIR:-/tmp}/brovane-wingui.XXXXXX")
own_prefix
pid=""
cleanup() {
  stop_pids "$pid"
  stop_card
  end_wine
  rm -rf "$work"
}
trap cleanup EXIT
linux_ports "$work/COM1"

lang="$windows/lang_00.ini"
port_title="$(language_text "$lang" 0) - Version 1.4"
sheet_prefix="$(language_text "$lang" 14) - "
program_title=$(language_text "$lang" 23)
done_title=$(language_text "$lang" 20)
failure_title=$(language_text "$lang" 16)

echo "1. The dialogs' font is DejaVu Sans from the program folder (the host's fonts are hidden)."
cp -r "$windows" "$work/folder"
cp "$probe" "$work/folder/"
font=$(in_wine "$prefix" "$work/COM1" "$work/folder/$(basename "$probe")" | tr -d '\r')
[ "$font" = "DejaVu Sans" ] || fail "the font in use is \"$font\", not DejaVu Sans"
rm -r "$work/folder/fonts"
font=$(in_wine "$prefix" "$work/COM1" "$work/folder/$(basename "$probe")" | tr -d '\r')
[ "$font" != "DejaVu Sans" ] || fail "DejaVu Sans came from elsewhere than the program folder"

echo "2. The whole pass against the virtual card; exit code 0."
start_card "$bin" "$work/COM1" --family KFT018 --registers "$registers"
"$bin/brovane-cli" --quiet read COM1 -o "$work/before.ini" || fail "the Linux read failed"
in_wine "$prefix" "$work/COM1" "$windows/brovane.exe" &
pid=$!
language=$(wait_for_window "Set Language" 60) || fail "the language dialog did not come up"
press "$language" Return
port=$(wait_for_window "$port_title" 30) || fail "no port selection titled \"$port_title\""
press "$port" Return
deadline=$((SECONDS + 60))
sheet=""
while [ -z "$sheet" ] && [ "$SECONDS" -lt "$deadline" ]; do
  sheet=$(windows_now | awk -v prefix="$sheet_prefix" '{ id = $1; sub(/^[0-9]+ /, "");
    if (index($0, prefix) == 1) print id }' | tail -n 1)
  [ -n "$sheet" ] || sleep 0.1
done
[ -n "$sheet" ] || fail "no configuration sheet after the read: $(windows_now | tr '\n' '|')"
# The sheet's OK button: 81 x 25 at 218, 391 of the sheet's inside.
xdotool windowactivate --sync "$sheet" >/dev/null 2>&1
xdotool mousemove --window "$sheet" 258 403 click 1
program=$(wait_for_window "$program_title" 30) || fail "no programming dialog after the sheet"
press "$program" Return
box=$(wait_for_window "$done_title" 60) || fail "no message that the programming is done"
press "$box" Return
port=$(wait_for_window "$port_title" 30) || fail "the port selection did not come back"
press "$port" Escape
expect_exit "$pid" 0 "after the port selection was closed"
pid=""
"$bin/brovane-cli" --quiet verify COM1 "$work/before.ini" >/dev/null ||
  fail "the card no longer holds what was read from it"
stop_card

echo "3. A silent card: the failure message, the port selection again, exit code 0."
start_card "$bin" "$work/COM1" --family KFT018 --registers "$registers" --fault silent:1:1000
in_wine "$prefix" "$work/COM1" "$windows/brovane.exe" &
pid=$!
language=$(wait_for_window "Set Language" 60) || fail "the language dialog did not come up"
press "$language" Return
port=$(wait_for_window "$port_title" 30) || fail "no port selection"
press "$port" Return
box=$(wait_for_window "$failure_title" 60) || fail "no message titled \"$failure_title\" for a silent card"
press "$box" Return
port=$(wait_for_window "$port_title" 30) || fail "the port selection did not come back after the message"
press "$port" Escape
expect_exit "$pid" 0 "after the port selection was closed"
pid=""
echo PASS
