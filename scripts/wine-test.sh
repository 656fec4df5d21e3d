#!/usr/bin/env bash
# Runs a program of the Windows core build under Wine for its tests (the cross build's ctest
# emulator): in the sandbox of scripts/wine-sandbox.sh, with the prefix BROVANE_WINEPREFIX names
# (default: wineprefix in the current directory), whose COM1 leads to a path beside it where no
# device is. Run `wineboot --init` through this script once before starting programs in
# parallel, so that they do not all set up the prefix at once.
#   scripts/wine-test.sh PROGRAM.exe [ARGS...]
set -euo pipefail
prefix="${BROVANE_WINEPREFIX:-$PWD/wineprefix}"
exec "$(dirname "${BASH_SOURCE[0]}")/wine-sandbox.sh" "$prefix" "$prefix.com1" "$@"
