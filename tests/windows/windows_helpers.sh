# Helpers of the Windows tests, sourced by them: the Windows program runs under Wine through
# scripts/wine-sandbox.sh (a prefix of its own whose only port, COM1, is the virtual card's
# pseudo-terminal; no serial device of the host within reach), the virtual card and the Linux
# programs come from the Linux build. Every wait has a bound.

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

windows_repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# Every COM name of the Linux programs leads to the virtual card or to nothing.
linux_ports() {
  export BROVANE_COM1="$1"
  local n
  for n in 2 3 4 5 6 7; do
    export "BROVANE_COM$n=$work/none-$n"
  done
}

# start_card LINUX-BIN LINK [quorix-sim options...]: the virtual card on a pseudo-terminal with
# a link LINK to it; its process id in card_pid.
card_pid=""
start_card() {
  local bin=$1 link=$2
  shift 2
  "$bin/quorix-sim" "$@" --link "$link" >/dev/null 2>"$link.log" &
  card_pid=$!
  local deadline=$((SECONDS + 10))
  while [ ! -e "$link" ] && [ "$SECONDS" -lt "$deadline" ]; do
    kill -0 "$card_pid" 2>/dev/null || fail "the virtual card did not start: $(cat "$link.log")"
    sleep 0.05
  done
  [ -e "$link" ] || fail "the virtual card made no $link"
}

stop_card() {
  if [ -n "$card_pid" ] && kill -0 "$card_pid" 2>/dev/null; then
    kill -TERM "$card_pid" 2>/dev/null
    wait "$card_pid" 2>/dev/null
  fi
  card_pid=""
}

# The test's own Wine prefix, in its work folder: no test meets another's prefix, its server or
# its COM1 link, whether they run at once or a run before left something behind.
own_prefix() {
  prefix="$work/wineprefix"
}

# Waits, with a bound, until the server of the test's prefix has ended, before the work folder
# goes: the server ends a few seconds after the prefix's last program, and takes the prefix's
# services (services.exe, winedevice.exe, ...) with it. Killing it instead would leave those
# running without a server, holding the test's output open. A server still kept by a program
# of the test after a minute is killed.
end_wine() {
  [ -n "${prefix:-}" ] && [ -d "$prefix" ] || return 0
  local wineserver
  wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
  WINEPREFIX=$prefix timeout 60 "$wineserver" -w 2>/dev/null ||
    WINEPREFIX=$prefix "$wineserver" -k 2>/dev/null
  return 0
}

# in_wine PREFIX DEVICE PROGRAM.exe [ARGS...]: the program under Wine in the sandbox, with COM1
# leading to DEVICE. The prefix names one path for COM1 in every run, a link beside it that
# leads to this run's card, so that the prefix's port setting stays as it is between runs.
in_wine() {
  local prefix=$1 device=$2
  shift 2
  mkdir -p "$(dirname "$prefix")"
  ln -sfn "$device" "$prefix.com1"
  "$windows_repo/scripts/wine-sandbox.sh" "$prefix" "$prefix.com1" "$@"
}
