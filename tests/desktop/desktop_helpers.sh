# Helpers of the desktop tests, sourced by them; they run under scripts/desktop-run.sh.
# Every wait has a bound: the tests never hang on a window that does not come.

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The visible top-level windows, bottom to top, as "<id> <title>" (the title the window system
# shows).
windows_now() {
  local visible hex id
  visible=$(xdotool search --onlyvisible --name '' 2>/dev/null)
  for hex in $(xprop -root _NET_CLIENT_LIST_STACKING 2>/dev/null | grep -o '0x[0-9a-f]*'); do
    id=$((hex))
    grep -qx "$id" <<<"$visible" || continue
    printf '%s %s\n' "$id" "$(xdotool getwindowname "$id" 2>/dev/null)"
  done
}

# The id of the visible window whose title is exactly TITLE, empty when there is none.
window_titled() {
  windows_now | awk -v title="$1" '{ id = $1; sub(/^[0-9]+ /, ""); if ($0 == title) print id }' |
    tail -n 1
}

# Waits up to SECONDS (default 20) for a window titled TITLE and prints its id.
wait_for_window() {
  local title=$1 limit=${2:-20} id deadline
  deadline=$((SECONDS + limit))
  while [ "$SECONDS" -lt "$deadline" ]; do
    id=$(window_titled "$title")
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.05
  done
  echo "no window \"$title\" within $limit s; windows: $(windows_now | tr '\n' '|')" >&2
  return 1
}

# Waits up to SECONDS (default 20) until window ID is no longer visible.
wait_window_gone() {
  local id=$1 limit=${2:-20} deadline
  deadline=$((SECONDS + limit))
  while [ "$SECONDS" -lt "$deadline" ]; do
    windows_now | grep -q "^$id " || return 0
    sleep 0.05
  done
  return 1
}

# Gives window ID the focus and presses KEY there.
press() {
  timeout 5 xdotool windowactivate --sync "$1" >/dev/null 2>&1 ||
    timeout 5 xdotool windowfocus --sync "$1" || fail "window $1 did not take the focus"
  xdotool key --clearmodifiers "$2"
}

# Checks that process PID ends within 20 s with exit code CODE; WHAT names the situation.
# Runs in the shell that started the process (not in a command substitution), so that it can
# collect the exit code.
expect_exit() {
  local pid=$1 deadline code
  deadline=$((SECONDS + 20))
  while kill -0 "$pid" 2>/dev/null && [ "$SECONDS" -lt "$deadline" ]; do
    sleep 0.05
  done
  kill -0 "$pid" 2>/dev/null && fail "the program did not end $3"
  wait "$pid"
  code=$?
  [ "$code" -eq "$2" ] || fail "exit code $code $3, not $2"
}

# Ends the processes with the given ids that still run, and waits for them.
stop_pids() {
  local p
  for p in "$@"; do
    if [ -n "$p" ] && kill -0 "$p" 2>/dev/null; then
      kill -TERM "$p"
      wait "$p" 2>/dev/null
    fi
  done
}

# Text NUMBER of a language file, as the program shows it.
language_text() {
  # Byte by byte: the files of other languages are Windows-1252, no text in the locale's encoding.
  LC_ALL=C sed -n "s/^String$(printf '%03d' "$2")=\"\(.*\)\"\r\{0,1\}$/\1/p" "$1"
}

# The outer frame of window ID as "x y width height", from the window manager's frame extents.
frame_of() {
  local id=$1 x y w h left right top bottom
  read -r x y w h < <(xwininfo -id "$id" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
    /^  Width/ {w=$2} /^  Height/ {h=$2} END {print x, y, w, h}')
  IFS=', ' read -r left right top bottom < <(xprop -id "$id" _NET_FRAME_EXTENTS | sed 's/.*= //')
  echo "$((x - left)) $((y - top)) $((w + left + right)) $((h + top + bottom))"
}

# Checks that window ID, frame included, sits in the middle of the 1280 x 1024 screen within
# 5 s (the window manager frames a new window a moment after it is shown).
expect_centred() {
  local x y w h dx dy deadline
  deadline=$((SECONDS + 5))
  while :; do
    read -r x y w h < <(frame_of "$1")
    dx=$((2 * x + w - 1280))
    dy=$((2 * y + h - 1024))
    if [ "${dx#-}" -le 2 ] && [ "${dy#-}" -le 2 ]; then
      return 0
    fi
    [ "$SECONDS" -lt "$deadline" ] || fail "$2: frame at $x,$y ${w}x$h is not centred on the screen"
    sleep 0.05
  done
}

# Checks the dialog border of window ID: a close box only (no minimise or maximise function in
# the hints the program gives) and a fixed size; with "none", no close box either.
expect_dialog_border() {
  local id=$1 what=$2 close=${3:-close} hints functions minmax
  hints=$(xprop -id "$id" _MOTIF_WM_HINTS | sed 's/.*= //')
  functions=$(($(cut -d, -f2 <<<"$hints")))
  (( (functions & 0x18) == 0 )) || fail "$what offers minimise or maximise ($hints)"
  if [ "$close" = close ]; then
    (( (functions & 0x20) != 0 )) || fail "$what has no close box ($hints)"
  else
    (( (functions & 0x20) == 0 )) || fail "$what has a close box ($hints)"
  fi
  minmax=$(xprop -id "$id" WM_NORMAL_HINTS | awk '/minimum size/ {min=$(NF-2) "x" $NF} /maximum size/ {max=$(NF-2) "x" $NF} END {print min, max}')
  read -r min max <<<"$minmax"
  [ -n "$min" ] && [ "$min" = "$max" ] || fail "$what can be resized ($minmax)"
  xprop -id "$id" _NET_WM_ALLOWED_ACTIONS | grep -q -E 'RESIZE|MAXIMIZE' &&
    fail "$what: the window manager offers resizing or maximising"
  return 0
}
