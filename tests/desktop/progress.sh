#!/usr/bin/env bash
# The progress window as a person sees it on a desktop: during the whole card read and the whole
# programming it stays above the dialog that runs the transfer, and minimising it during the read
# hides neither it nor that dialog. The real program talks to the virtual card on a
# pseudo-terminal, paced like a 1200-baud line.
# Usage (under scripts/desktop-run.sh): progress.sh PROGRAM-FOLDER CARD-REGISTER-FILE
set -u
bin=$1
card=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/desktop_helpers.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/brovane-progress.XXXXXX")
sim_pid=""
pid=""
cleanup() {
  stop_pids "$pid" "$sim_pid"
  rm -rf "$work"
}
trap cleanup EXIT

lang="$bin/lang_00.ini"
port_title="$(language_text "$lang" 0) - Version 1.4"
reading=$(language_text "$lang" 38)
programming=$(language_text "$lang" 39)
program_title=$(language_text "$lang" 23)
done_title=$(language_text "$lang" 20)
sheet_prefix="$(language_text "$lang" 14) - "

"$bin/quorix-sim" --family KFT018 --registers "$card" --baud 1200 --link "$work/COM1" \
  >/dev/null 2>"$work/sim.log" &
sim_pid=$!
deadline=$((SECONDS + 10))
while [ ! -e "$work/COM1" ] && [ "$SECONDS" -lt "$deadline" ]; do
  kill -0 "$sim_pid" 2>/dev/null || fail "the virtual card did not start: $(cat "$work/sim.log")"
  sleep 0.05
done
[ -e "$work/COM1" ] || fail "the virtual card made no pseudo-terminal"

BROVANE_COM1="$work/COM1" "$bin/brovane" &
pid=$!

# Minimises the progress window ID as the window manager's button would: openbox offers that for
# every dialog with a title, whatever the window asks for, and takes the dialog that the window
# belongs to along. Within 5 s both must be back, the progress window on top and not hidden.
expect_minimise_refused() {
  local id=$1 progress=$2 owner=$3 stack deadline
  xprop -id "$id" _NET_WM_WINDOW_TYPE | grep -q '= _NET_WM_WINDOW_TYPE_DIALOG' ||
    fail "\"$progress\" is no dialog: $(xprop -id "$id" _NET_WM_WINDOW_TYPE)"
  # --sync waits until the window manager has hidden it; a window that is back at once may never
  # be seen hidden, hence the bound.
  timeout 2 xdotool windowminimize --sync "$id" >/dev/null 2>&1
  deadline=$((SECONDS + 5))
  while :; do
    stack=$(windows_now)
    if [ "$(tail -n 1 <<<"$stack" | cut -d' ' -f1)" = "$id" ] &&
      cut -d' ' -f2- <<<"$stack" | grep -qx -F "$owner" &&
      ! xprop -id "$id" _NET_WM_STATE | grep -q _NET_WM_STATE_HIDDEN; then
      return 0
    fi
    [ "$SECONDS" -lt "$deadline" ] ||
      fail "minimising \"$progress\" left: $(tr '\n' '|' <<<"$stack")"
    sleep 0.05
  done
}

# Samples the stacking until a window whose whole title matches the pattern NEXT comes up: whenever the
# progress window titled PROGRESS is there, it must be the topmost window, above OWNER. With
# "minimise" as fifth argument, the progress window is minimised once it is seen.
# Prints the number of samples that showed it.
watch_transfer() {
  local progress=$1 owner=$2 next=$3 limit=$4 minimise=${5:-} seen=0 stack top deadline
  deadline=$((SECONDS + limit))
  while [ "$SECONDS" -lt "$deadline" ]; do
    stack=$(windows_now)
    if cut -d' ' -f2- <<<"$stack" | grep -qx -e "$next"; then
      echo "$seen"
      return 0
    fi
    if cut -d' ' -f2- <<<"$stack" | grep -qx -F "$progress"; then
      top=$(tail -n 1 <<<"$stack" | cut -d' ' -f2-)
      [ "$top" = "$progress" ] || fail "\"$progress\" is below \"$top\": $(tr '\n' '|' <<<"$stack")"
      cut -d' ' -f2- <<<"$stack" | grep -qx -F "$owner" || fail "\"$owner\" is not shown"
      seen=$((seen + 1))
      if [ "$seen" -eq 1 ]; then
        # The progress window is centred on the language dialog, which was centred on the screen.
        expect_dialog_border "$(tail -n 1 <<<"$stack" | cut -d' ' -f1)" "$progress" none >&2
        expect_centred "$(tail -n 1 <<<"$stack" | cut -d' ' -f1)" "$progress" >&2
        if [ "$minimise" = minimise ]; then
          expect_minimise_refused "$(tail -n 1 <<<"$stack" | cut -d' ' -f1)" "$progress" "$owner" >&2
        fi
      fi
    fi
    sleep 0.05
  done
  fail "no \"$next\" within $limit s"
}

language=$(wait_for_window "Set Language") || fail "the language dialog did not come up"
press "$language" Return
port=$(wait_for_window "$port_title") || fail "no port selection"
press "$port" Return
seen=$(watch_transfer "$reading" "$port_title" "$sheet_prefix.*" 60 minimise) || exit 1
[ "$seen" -ge 3 ] || fail "the progress window showed in $seen samples of the read only"
echo "read: the progress window was on top in $seen samples"

# The sheet's OK button: 81 x 25 at 218, 391 of the sheet's inside.
sheet=$(windows_now | tail -n 1 | cut -d' ' -f1)
expect_dialog_border "$sheet" "the configuration sheet"
expect_centred "$sheet" "the configuration sheet"
xdotool windowactivate --sync "$sheet" >/dev/null 2>&1
xdotool mousemove --window "$sheet" 258 403 click 1
program=$(wait_for_window "$program_title") || fail "no programming dialog after the sheet"
expect_dialog_border "$program" "the programming dialog"
expect_centred "$program" "the programming dialog"
press "$program" Return
seen=$(watch_transfer "$programming" "$program_title" "$done_title" 60) || exit 1
[ "$seen" -ge 3 ] || fail "the progress window showed in $seen samples of the programming only"
echo "programming: the progress window was on top in $seen samples"

box=$(wait_for_window "$done_title") || fail "no final message"
press "$box" Return
port=$(wait_for_window "$port_title") || fail "the port selection did not come back"
press "$port" Escape
expect_exit "$pid" 0 "after the port selection was closed"
pid=""
echo "PASS"
