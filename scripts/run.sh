#!/usr/bin/env bash
# make run: starts the virtual card (quorix-sim) on a pseudo-terminal with a KFT018 card's
# configuration, paced like a real 1200-baud line, and opens Brovane with COM1 leading to it.
# The card stops when Brovane ends, also on Ctrl-C.
# Usage: scripts/run.sh [BUILD-FOLDER]   (default: build)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
sim="$build/bin/quorix-sim"
app="$build/bin/brovane"
card="$root/sim/cards/kft018-demo.reg"
log="$build/quorix-sim.log"

for program in "$sim" "$app"; do
  if [ ! -x "$program" ]; then
    echo "make run: $program is missing; build first (make build)." >&2
    exit 1
  fi
done

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  cat >&2 <<'TEXT'
make run: there is no display to open Brovane's windows on (neither DISPLAY nor
WAYLAND_DISPLAY is set). Run it from a desktop session, over ssh -X, or under a virtual
display such as "xvfb-run make run"; QT_QPA_PLATFORM=vnc also works.
TEXT
  exit 1
fi

rundir=$(mktemp -d "${TMPDIR:-/tmp}/brovane-run.XXXXXX")
link="$rundir/COM1"
sim_pid=""
app_pid=""

# Ends the program and the card we started, by their process ids.
stop_both() {
  for pid in "$app_pid" "$sim_pid"; do
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
      kill -TERM "$pid" 2>/dev/null || true
      wait "$pid" 2>/dev/null || true
    fi
  done
  rm -rf "$rundir"
}
trap stop_both EXIT
# Both run in the background, where the shell keeps Ctrl-C from them: the traps end them.
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

# The card's hardware value 2 shows in the COM2 page's hardware offset; switching COM2 to NEXPR
# then brings up the hardware-offset warning, as on a real card with an offset set.
"$sim" --family KFT018 --hardware 2 --registers "$card" --baud 1200 --link "$link" --log \
  >/dev/null 2>"$log" &
sim_pid=$!

# The card makes its pseudo-terminal and the link to it at once; a few seconds at most.
for _ in $(seq 1 100); do
  [ -e "$link" ] && break
  if ! kill -0 "$sim_pid" 2>/dev/null; then
    echo "make run: the virtual card did not start:" >&2
    cat "$log" >&2
    exit 1
  fi
  sleep 0.05
done
if [ ! -e "$link" ]; then
  echo "make run: the virtual card made no pseudo-terminal within 5 seconds." >&2
  exit 1
fi

echo "Virtual KFT018 card on $(readlink "$link") (COM1), paced at 1200 baud."
echo "Its frames and its final registers are logged to $log."
BROVANE_COM1="$link" "$app" &
app_pid=$!
status=0
wait "$app_pid" || status=$?
app_pid=""
exit "$status"
