#!/usr/bin/env bash
# Runs a Windows program under Wine where no serial device of the host can be reached.
#   scripts/wine-sandbox.sh PREFIX COM1-DEVICE PROGRAM.exe [ARGS...]
# PREFIX is a Wine prefix of its own (made on first use); COM1-DEVICE is the one serial port
# the program may see (the virtual card's pseudo-terminal, or a link to it). On its first start
# Wine links COM1, COM2, ... to /dev/ttyS0, /dev/ttyS1, ..., and /dev/ttyS0 can be the host's
# kernel console. So every Wine process runs in a mount namespace of its own whose /dev is a
# small tmpfs with null, zero, full, random, urandom, tty, ptmx and pts only, the prefix names
# COM1 alone in HKLM\Software\Wine\Ports, and the run is refused if the prefix links any other
# COM port. The host's fonts are hidden too: the Windows program has only Wine's fonts and its
# own. Needs root (unshare -m); the exit status is the program's.
set -euo pipefail

if [ $# -lt 3 ]; then
  echo "usage: wine-sandbox.sh PREFIX COM1-DEVICE PROGRAM.exe [ARGS...]" >&2
  exit 2
fi
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# The script starts itself again in a mount namespace of its own; what follows changes mounts
# only there, and never runs where the namespace is the system's.
if [ "$1" != --in-namespace ]; then
  exec unshare --mount --propagation private "$0" --in-namespace "$@"
fi
shift
if [ "$(readlink /proc/self/ns/mnt)" = "$(readlink /proc/1/ns/mnt)" ]; then
  echo "wine-sandbox: not in a mount namespace of its own" >&2
  exit 1
fi

prefix=$1 com1=$2
shift 2
newdev=$(mktemp -d)
mount -t tmpfs -o size=1m,mode=755 brovane-dev "$newdev"
for node in null zero full random urandom tty; do
  touch "$newdev/$node"
  mount --bind "/dev/$node" "$newdev/$node"
done
mkdir "$newdev/pts"
mount --bind /dev/pts "$newdev/pts"
ln -s pts/ptmx "$newdev/ptmx"
mount --move "$newdev" /dev
rmdir "$newdev" 2>/dev/null || true
for fonts in /usr/share/fonts /usr/local/share/fonts /var/cache/fontconfig; do
  if [ -d "$fonts" ]; then
    mount -t tmpfs -o size=1m brovane-fonts "$fonts"
  fi
done

for device in /dev/ttyS* /dev/ttyUSB* /dev/ttyACM*; do
  if [ -e "$device" ]; then
    echo "wine-sandbox: $device is reachable" >&2
    exit 1
  fi
done

export BROVANE_WINEPREFIX=$prefix
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
# Wine writes its registry files when its server ends.
if [ ! -f "$prefix/system.reg" ]; then
  "$here/wine-run.sh" wineboot --init >/dev/null 2>&1
  WINEPREFIX=$prefix "$wineserver" -w
fi
# The ports the prefix names in HKLM\Software\Wine\Ports, as "NAME=VALUE" lines, from the file
# Wine keeps that key in (written when its server ends).
named_ports() {
  awk '/^\[/ { inside = ($0 ~ /^\[Software\\\\Wine\\\\Ports\]/) ; next }
       inside && /^"/ { gsub(/"/, ""); print }' "$prefix/system.reg" 2>/dev/null
}

# No link to a port but COM1, and COM1 the device given.
only_com1_linked() {
  local link
  for link in "$prefix"/dosdevices/com*; do
    [ -e "$link" ] || [ -L "$link" ] || continue
    if [ "$(basename "$link")" != com1 ] || [ "$(readlink "$link")" != "$com1" ]; then
      echo "wine-sandbox: the prefix links $(basename "$link") to $(readlink "$link")" >&2
      return 1
    fi
  done
}

# A link to another port was made outside this script's care: refused, not mended.
for link in "$prefix"/dosdevices/com*; do
  if { [ -e "$link" ] || [ -L "$link" ]; } && [ "$(basename "$link")" != com1 ]; then
    echo "wine-sandbox: the prefix links $(basename "$link") to $(readlink "$link")" >&2
    exit 1
  fi
done

# Wine makes the port links from the registry when its server starts. When the prefix names
# another port or device, COM1 is named anew, the links of the earlier value go, and the server
# is let end, so that the next one makes COM1 from the value set here.
if [ "$(named_ports)" != "COM1=$com1" ] || ! only_com1_linked 2>/dev/null; then
  "$here/wine-run.sh" reg delete 'HKLM\Software\Wine\Ports' /f >/dev/null 2>&1 || true
  "$here/wine-run.sh" reg add 'HKLM\Software\Wine\Ports' /v COM1 /d "$com1" /f >/dev/null 2>&1
  WINEPREFIX=$prefix "$wineserver" -w
  rm -f "$prefix"/dosdevices/com*
fi
if [ "$(named_ports)" != "COM1=$com1" ]; then
  echo "wine-sandbox: the prefix names these ports: $(named_ports | tr '\n' ' ')" >&2
  exit 1
fi
only_com1_linked || exit 1
status=0
"$here/wine-run.sh" "$@" || status=$?
only_com1_linked || exit 1
exit "$status"
