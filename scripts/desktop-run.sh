#!/usr/bin/env bash
# desktop-run.sh COMMAND [ARGS...]
# Runs COMMAND on a private virtual X display with a real window manager (Xvfb + openbox), so that
# window stacking, decorations and the titles the window system shows can be checked as a person
# sees them. COMMAND gets DISPLAY and QT_QPA_PLATFORM=xcb. The display and the window manager are
# stopped by their process ids when COMMAND ends; the exit status is COMMAND's.
# Needs the Debian packages xvfb, openbox, xdotool and x11-utils (scripts/setup.sh installs them).
set -u

for tool in Xvfb openbox xdotool xprop; do
  if ! command -v "$tool" >/dev/null; then
    echo "desktop-run: $tool is missing (scripts/setup.sh installs it)" >&2
    exit 127
  fi
done

workdir=$(mktemp -d "${TMPDIR:-/tmp}/brovane-desktop.XXXXXX")
xvfb_pid=""
wm_pid=""
stop_display() {
  for pid in "$wm_pid" "$xvfb_pid"; do
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
      kill -TERM "$pid" 2>/dev/null
      wait "$pid" 2>/dev/null
    fi
  done
  rm -rf "$workdir"
}
trap stop_display EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Xvfb picks a free display itself and writes its number to the descriptor it is given.
mkfifo "$workdir/display"
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$workdir/display" >/dev/null 2>&1 &
xvfb_pid=$!
number=""
read -r -t 20 number <"$workdir/display"
if [ -z "$number" ]; then
  echo "desktop-run: Xvfb did not start" >&2
  exit 1
fi
export DISPLAY=":$number" QT_QPA_PLATFORM=xcb

openbox --sm-disable >/dev/null 2>&1 &
wm_pid=$!
# The window manager announces itself on the root window once it manages the screen.
# A busy machine can take many seconds for it.
managed=0
deadline=$((SECONDS + 30))
while [ "$SECONDS" -lt "$deadline" ]; do
  if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
    managed=1
    break
  fi
  if ! kill -0 "$wm_pid" 2>/dev/null; then
    break
  fi
  sleep 0.05
done
if [ "$managed" -ne 1 ]; then
  echo "desktop-run: openbox did not start" >&2
  exit 1
fi

"$@"
status=$?
exit "$status"
