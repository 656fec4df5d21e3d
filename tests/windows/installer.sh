#!/usr/bin/env bash
# The NSIS installer run silently into a folder named Prüfstand, in a fresh Wine prefix and
# without a locale (as on a fresh system): the programs and their files land there, and the
# Start-menu entry leads to brovane.exe in it.
# Usage: installer.sh WINDOWS-BUILD-FOLDER
set -u
build=$(cd "$1" && pwd)
source "$(dirname "$0")/windows_helpers.sh"
unset LANG LANGUAGE LC_ALL LC_CTYPE

installer=$(ls "$build"/brovane-*-win64.exe 2>/dev/null | head -n 1)
[ -n "$installer" ] || fail "no installer in $build"
work=$(mktemp -d "${TMPDIR:-/tmp}/brovane-setup.XXXXXX")
own_prefix
trap 'end_wine; rm -rf "$work"' EXIT

# NSIS takes the folder as the last argument, unquoted.
in_wine "$prefix" "$work/no-card" "$installer" /S '/D=C:\Prüfstand' ||
  fail "the installer failed"

folder="$prefix/drive_c/Prüfstand"
for file in brovane.exe brovane-cli.exe lang_00.ini lang_01.ini lang_02.ini Qt6Core.dll \
  Qt6Gui.dll Qt6Widgets.dll Qt6SerialPort.dll platforms/qwindows.dll \
  styles/qwindowsvistastyle.dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll \
  fonts/DejaVuSans.ttf translations/qtbase_de.qm translations/qtbase_it.qm Uninstall.exe; do
  [ -f "$folder/$file" ] || fail "the installation lacks $file: $(cd "$prefix/drive_c" && find . -maxdepth 2 | head -40)"
done
# The installer and the ZIP ship the same files.
installed=$(cd "$folder" && find . -type f ! -name Uninstall.exe | sed 's|^\./||' | sort)
zipped=$(unzip -Z1 "${installer%.exe}.zip" | grep -v '/$' | sed 's|^[^/]*/||' | sort)
[ "$installed" = "$zipped" ] ||
  fail "the installer and the ZIP differ: $(diff <(echo "$zipped") <(echo "$installed"))"

links=$(find "$prefix/drive_c" -path '*Start Menu*' -iname 'Brovane.lnk')
[ -n "$links" ] || fail "no Start-menu entry Brovane: $(find "$prefix/drive_c" -path '*Start Menu*' | head)"
# A shell link names its target as a local path; Wine writes it in UTF-16 or the ANSI code page.
python3 - "$links" <<'PY' || fail "the Start-menu entry does not lead to C:\\Prüfstand\\brovane.exe"
import sys
data = open(sys.argv[1].splitlines()[0], "rb").read()
target = "c:\\prüfstand\\brovane.exe"
texts = [data.decode("utf-16-le", "replace").lower(), data.decode("cp1252", "replace").lower()]
sys.exit(0 if any(target in text for text in texts) else 1)
PY
echo PASS
