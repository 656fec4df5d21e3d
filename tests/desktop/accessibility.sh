#!/usr/bin/env bash
# A screen reader's view of every dialog: the real program runs with its accessibility bridge on,
# under a private D-Bus session with its own AT-SPI bus, and atspi_tree.py reads the tree of each
# window: every control that can be edited, selected or pressed has a name, different from the
# names beside it. The card is the virtual one on a pseudo-terminal.
# Usage (under scripts/desktop-run.sh): accessibility.sh PROGRAM-FOLDER CARD-REGISTER-FILE
set -u
bin=$1
card=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/desktop_helpers.sh"
# Debian's own Python, which the python3-dbus package serves.
python=/usr/bin/python3

work=$(mktemp -d "${TMPDIR:-/tmp}/brovane-a11y.XXXXXX")
sim_pid=""
pid=""
bus_pid=""
launcher_pid=""
registry_pid=""
cleanup() {
  stop_pids "$pid" "$registry_pid" "$launcher_pid" "$sim_pid" "$bus_pid"
  rm -rf "$work"
}
trap cleanup EXIT

# Waits up to 10 s for the file PATH that process PID makes.
wait_for_file() {
  local deadline=$((SECONDS + 10))
  while [ ! -e "$1" ] && [ "$SECONDS" -lt "$deadline" ]; do
    kill -0 "$2" 2>/dev/null || fail "$3 did not start"
    sleep 0.05
  done
  [ -e "$1" ] || fail "$3 made no $1"
}

# The AT-SPI bus puts its socket below XDG_RUNTIME_DIR: a private one keeps it apart.
export XDG_RUNTIME_DIR="$work"
dbus-daemon --session --nofork --address="unix:path=$work/session-bus" >/dev/null 2>&1 &
bus_pid=$!
wait_for_file "$work/session-bus" "$bus_pid" "the D-Bus session"
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/session-bus"
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
launcher_pid=$!
deadline=$((SECONDS + 10))
until "$python" -c 'import dbus; dbus.SessionBus().get_object("org.a11y.Bus", "/org/a11y/bus").GetAddress(dbus_interface="org.a11y.Bus")' >/dev/null 2>&1; do
  kill -0 "$launcher_pid" 2>/dev/null || fail "the AT-SPI bus did not start"
  [ "$SECONDS" -lt "$deadline" ] || fail "the AT-SPI bus did not answer"
  sleep 0.05
done
/usr/libexec/at-spi2-registryd >/dev/null 2>&1 &
registry_pid=$!

"$bin/quorix-sim" --family KFT018 --registers "$card" --baud 19200 --link "$work/COM1" \
  >/dev/null 2>"$work/sim.log" &
sim_pid=$!
wait_for_file "$work/COM1" "$sim_pid" "the virtual card"

lang="$bin/lang_00.ini"
port_title="$(language_text "$lang" 0) - Version 1.4"
program_title=$(language_text "$lang" 23)
sheet_title="$(language_text "$lang" 14) - $(language_text "$lang" 93)01.01"

# Every COM name leads to the virtual card or to nothing: no real device is ever reached.
export BROVANE_COM1="$work/COM1"
for n in 2 3 4 5 6 7; do
  export "BROVANE_COM$n=$work/none-$n"
done
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 "$bin/brovane" &
pid=$!

tree() {
  "$python" "$here/atspi_tree.py" brovane "$@" || fail "the accessibility tree of \"$1\" falls short"
}

language=$(wait_for_window "Set Language") || fail "the language dialog did not come up"
tree "Set Language" --named "combo box=Set Language"
press "$language" Return
port=$(wait_for_window "$port_title") || fail "no port selection"
tree "$port_title" --named "combo box=$(language_text "$lang" 3)"
press "$port" Return
sheet=$(wait_for_window "$sheet_title" 60) || fail "no configuration sheet after the read"
tree "$sheet_title" --named "push button=Input 3 $(language_text "$lang" 51) up" \
  --named "text=Input 3 $(language_text "$lang" 50)" \
  --named "list=Output1: $(language_text "$lang" 59)" \
  --named "push button=$(language_text "$lang" 102)"
# The sheet's OK button: 81 x 25 at 218, 391 of the sheet's inside.
xdotool windowactivate --sync "$sheet" >/dev/null 2>&1
xdotool mousemove --window "$sheet" 258 403 click 1
wait_for_window "$program_title" >/dev/null || fail "no programming dialog after the sheet"
tree "$program_title" --summary 20
echo "PASS"
