#!/usr/bin/env bash
# Runs a Windows program under Wine, headless and without prompts, in a prefix of its own.
#   scripts/wine-run.sh PROGRAM.exe [ARGS...]
# BROVANE_WINEPREFIX names the prefix (default: wineprefix in the current directory). This is
# the bare run: tests go through scripts/wine-sandbox.sh (or scripts/wine-test.sh), which keeps
# the host's serial devices out of Wine's reach and then calls this.
set -euo pipefail
export WINEPREFIX="${BROVANE_WINEPREFIX:-$PWD/wineprefix}"
export WINEDEBUG=-all
# No Mono and no Gecko: their installers would ask questions. No menu entries of the host made
# from the Start-menu entries an installer writes.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64
# Wine reads and writes file names in the locale's character set: without a UTF-8 locale (a
# fresh system has no LANG) it cannot make or open a folder such as Prüfstand.
if [ "$(locale charmap 2>/dev/null)" != UTF-8 ]; then
  export LC_ALL=C.UTF-8
fi
# Windowed programs get a display only where the caller asks for one.
if [ -z "${BROVANE_WINE_DISPLAY:-}" ]; then
  unset DISPLAY
fi
unset WAYLAND_DISPLAY
wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
exec "$wine" "$@"
