#!/usr/bin/env bash
# How long the real program's windows leave the window manager's liveness ping (_NET_WM_PING)
# unanswered while a transfer with the card runs. Brovane runs on a private X display with a
# window manager, against the virtual card on a pseudo-terminal; wm-ping pings the dialog that
# runs the transfer every 20 ms from the moment its button is pressed until the transfer's next
# window comes up, and prints each scene's longest answer and 99th percentile. Every figure must
# stay under 100 ms (GNOME offers "Force Quit" after 5 s without an answer).
#   scene              the card                         the transfer pinged
#   silent card        answers nothing                  the read, until its error message
#   paced read         1200 baud                        the read, until the configuration sheet
#   paced programming  1200 baud                        the programming, until its final message
#   stops part-way     1200 baud, silent from command   the programming, until its error message
#                      60 (the 12th register written)
# Usage: bench/ping-bench.sh [PROGRAM-FOLDER]   (default: build/bin; needs brovane, quorix-sim
# and wm-ping built there). Exit code 1 when a figure is 100 ms or more, or a scene fails.
set -u
here=$(cd "$(dirname "$0")" && pwd)
bin=$(cd "${1:-$here/../build/bin}" && pwd)
if [ -z "${BROVANE_PING_BENCH_DISPLAY:-}" ]; then
  BROVANE_PING_BENCH_DISPLAY=1 exec "$here/../scripts/desktop-run.sh" bash "$0" "$bin"
fi
source "$here/../tests/desktop/desktop_helpers.sh"
for program in brovane quorix-sim wm-ping; do
  [ -x "$bin/$program" ] || fail "no $bin/$program: build it first"
done

work=$(mktemp -d "${TMPDIR:-/tmp}/brovane-ping.XXXXXX")
sim_pid=""
pid=""
ping_pid=""
cleanup() {
  stop_pids "$ping_pid" "$pid" "$sim_pid"
  rm -rf "$work"
}
trap cleanup EXIT

lang="$bin/lang_00.ini"
port_title="$(language_text "$lang" 0) - Version 1.4"
error_title=$(language_text "$lang" 16)
program_title=$(language_text "$lang" 23)
done_title=$(language_text "$lang" 20)
sheet_prefix="$(language_text "$lang" 14) - "
card="$here/../sim/cards/kft018-demo.reg"

# Starts the virtual card with the given options and Brovane on it, up to the port selection,
# whose window id it leaves in port.
start_program() {
  rm -f "$work/COM1"
  "$bin/quorix-sim" --family KFT018 --registers "$card" --link "$work/COM1" "$@" \
    >/dev/null 2>"$work/sim.log" &
  sim_pid=$!
  local deadline=$((SECONDS + 10))
  while [ ! -e "$work/COM1" ] && [ "$SECONDS" -lt "$deadline" ]; do
    kill -0 "$sim_pid" 2>/dev/null || fail "the virtual card did not start: $(cat "$work/sim.log")"
    sleep 0.05
  done
  [ -e "$work/COM1" ] || fail "the virtual card made no pseudo-terminal"
  BROVANE_COM1="$work/COM1" BROVANE_COM2=/nonexistent BROVANE_COM3=/nonexistent \
    BROVANE_COM4=/nonexistent BROVANE_COM5=/nonexistent BROVANE_COM6=/nonexistent \
    BROVANE_COM7=/nonexistent "$bin/brovane" >/dev/null 2>"$work/brovane.log" &
  pid=$!
  local language
  language=$(wait_for_window "Set Language") || fail "the language dialog did not come up"
  press "$language" Return
  port=$(wait_for_window "$port_title") || fail "no port selection"
}

stop_program() {
  stop_pids "$pid" "$sim_pid"
  pid=""
  sim_pid=""
}

# Waits up to 90 s for a window whose whole title matches the pattern and prints its id.
wait_matching() {
  local deadline=$((SECONDS + 90)) id
  while [ "$SECONDS" -lt "$deadline" ]; do
    id=$(windows_now | awk -v pattern="^($1)\$" \
      '{ id = $1; sub(/^[0-9]+ /, ""); if ($0 ~ pattern) print id }' | tail -n 1)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.05
  done
  return 1
}

# Pings window ID while KEY pressed there runs a transfer, until a window titled like the
# pattern NEXT comes up; leaves wm-ping's line in line.
ping_transfer() {
  local id=$1 key=$2 next=$3
  "$bin/wm-ping" "$id" 20 >"$work/ping.txt" 2>"$work/ping.err" &
  ping_pid=$!
  press "$id" "$key"
  wait_matching "$next" >/dev/null ||
    fail "no \"$next\" within 90 s; windows: $(windows_now | tr '\n' '|')"
  kill -0 "$ping_pid" 2>/dev/null || fail "wm-ping ended early: $(cat "$work/ping.err")"
  kill -TERM "$ping_pid"
  wait "$ping_pid" || fail "wm-ping: $(cat "$work/ping.err")"
  ping_pid=""
  line=$(cat "$work/ping.txt")
}

# Reads the card, confirms the sheet and leaves the programming dialog's window id in program.
read_and_confirm() {
  local sheet
  press "$port" Return
  sheet=$(wait_matching "$sheet_prefix.*") || fail "no configuration sheet after the read"
  # The sheet's OK button: 81 x 25 at 218, 391 of the sheet's inside.
  xdotool windowactivate --sync "$sheet" >/dev/null 2>&1
  xdotool mousemove --window "$sheet" 258 403 click 1
  program=$(wait_for_window "$program_title") || fail "no programming dialog after the sheet"
}

# Prints the scene's figures; a longest answer or 99th percentile of 100 ms or more fails the run.
failed=0
record() {
  local scene=$1 line=$2 longest p99
  longest=$(sed -n 's/.*longest_ms=\([0-9.]*\).*/\1/p' <<<"$line")
  p99=$(sed -n 's/.*p99_ms=\([0-9.]*\).*/\1/p' <<<"$line")
  printf '%-18s %s\n' "$scene" "$line"
  if [ -z "$longest" ] || awk -v l="$longest" -v p="$p99" 'BEGIN { exit !(l >= 100 || p >= 100) }'; then
    echo "  over 100 ms" >&2
    failed=1
  fi
}

start_program --fault silent:1:1000
ping_transfer "$port" Return "$error_title"
record "silent card" "$line"
stop_program

start_program --baud 1200
ping_transfer "$port" Return "$sheet_prefix.*"
record "paced read" "$line"
stop_program

start_program --baud 1200
read_and_confirm
ping_transfer "$program" Return "$done_title"
record "paced programming" "$line"
stop_program

start_program --baud 1200 --fault silent:60:1000
read_and_confirm
ping_transfer "$program" Return "$error_title"
record "stops part-way" "$line"
stop_program

exit "$failed"
