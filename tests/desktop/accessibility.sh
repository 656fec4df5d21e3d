#!/usr/bin/env bash
# A screen reader's view of every dialog: the real program runs with its accessibility bridge on,
# under a private D-Bus session with its own AT-SPI bus, and atspi_tree.py reads the tree of each
# window, in each of the three languages: every control that can be edited, selected or pressed,
# down to the fields and entries inside the drop-down lists, has a name, different from the names
# of its role beside it; the port list's entries say the device or that there is none. The card
# is the virtual one on a pseudo-terminal.
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

# Every COM name leads to the virtual card or to nothing: no real device is ever reached.
export BROVANE_COM1="$work/COM1"
for n in 2 3 4 5 6 7; do
  export "BROVANE_COM$n=$work/none-$n"
done

tree() {
  "$python" "$here/atspi_tree.py" brovane "$@" || fail "the accessibility tree of \"$1\" falls short"
}

# The whole way from the language to the programming dialog in language NUMBER, chosen in the
# language list as a person chooses it, each window read as a screen reader reads it.
pass_in_language() {
  local number=$1 lang="$bin/lang_0$1.ini"
  # The language files are Windows-1252; the screen reader hears UTF-8.
  text() { language_text "$lang" "$1" | iconv -f WINDOWS-1252 -t UTF-8; }
  local port_title program_title sheet_title no_device entries language port sheet n
  port_title="$(text 0) - Version 1.4"
  program_title=$(text 23)
  sheet_title="$(text 14) - $(text 93)01.01"
  no_device=$(text 200) # what a port without a device shows after its name
  entries="COM1  $work/COM1"
  for n in 2 3 4 5 6 7; do
    entries="$entries|COM$n  $no_device"
  done

  QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 "$bin/brovane" &
  pid=$!
  language=$(wait_for_window "Set Language") || fail "the language dialog did not come up"
  tree "Set Language" --named "combo box=Set Language" \
    --entries "Set Language=English|Deutsch|Italiano"
  for ((n = 0; n < number; ++n)); do
    press "$language" Down
  done
  press "$language" Return
  port=$(wait_for_window "$port_title") || fail "no port selection in language $number"
  tree "$port_title" --named "combo box=$(text 3)" --named "text=$(text 3)" \
    --entries "$(text 3)=$entries"
  press "$port" Return
  sheet=$(wait_for_window "$sheet_title" 60) || fail "no configuration sheet in language $number"
  tree "$sheet_title" --named "push button=Input 3 $(text 51) $(text 100)" \
    --named "text=Input 3 $(text 50)" \
    --named "list=Output1: $(text 59)" \
    --named "push button=$(text 102)"
  # The sheet's OK button: 81 x 25 at 218, 391 of the sheet's inside.
  xdotool windowactivate --sync "$sheet" >/dev/null 2>&1
  xdotool mousemove --window "$sheet" 258 403 click 1
  wait_for_window "$program_title" >/dev/null || fail "no programming dialog in language $number"
  tree "$program_title" --summary 20
  stop_pids "$pid"
  pid=""
}

for language_number in 0 1 2; do
  pass_in_language "$language_number"
done
echo "PASS"
