#!/usr/bin/env bash
# The program from its start as a person sees it on a desktop: the exact window titles, the
# dialog borders and centring, the standard exception box after which the program goes on, and
# the exit codes through main.
# Usage (under scripts/desktop-run.sh): startup.sh PROGRAM-FOLDER
set -u
bin=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/desktop_helpers.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/brovane-startup.XXXXXX")
pid=""
cleanup() {
  stop_pids "$pid"
  rm -rf "$work"
}
trap cleanup EXIT

title=$(language_text "$bin/lang_00.ini" 0)
[ -n "$title" ] || fail "no text 0 in $bin/lang_00.ini"

echo "1. An exception from a handler shows the standard box, and the program goes on."
"$bin/brovane-throwing" &
pid=$!
language=$(wait_for_window "Set Language") || fail "the language dialog did not come up"
box=$(wait_for_window "Brovane") || fail "no exception box titled \"Brovane\""
press "$box" Return
wait_window_gone "$box" || fail "the exception box did not close"
kill -0 "$pid" 2>/dev/null || fail "the program ended after the exception box"
[ "$(window_titled "Set Language")" = "$language" ] || fail "the language dialog went away"
# A second exception, of a kind that is no std::exception, from a key handler.
press "$language" F12
box=$(wait_for_window "Brovane") || fail "no exception box after the second exception"
press "$box" Return
wait_window_gone "$box" || fail "the second exception box did not close"
expect_dialog_border "$language" "Set Language"
# The program's name for the system stays "Brovane" (the window class), not part of the captions.
xprop -id "$language" WM_CLASS | grep -q '"Brovane"$' || fail "window class: $(xprop -id "$language" WM_CLASS)"
expect_centred "$language" "Set Language"
# The loop goes on: the language is confirmed and the port selection comes.
press "$language" Return
port=$(wait_for_window "$title - Version 1.4") || fail "no port selection titled exactly \"$title - Version 1.4\""
expect_dialog_border "$port" "the port selection"
expect_centred "$port" "the port selection"
press "$port" Escape
expect_exit "$pid" 0 "after the port selection was closed"
pid=""

echo "2. Without language files OK ends with the fixed box and exit code 5."
cp "$bin/brovane" "$work/"
"$work/brovane" &
pid=$!
language=$(wait_for_window "Set Language") || fail "the language dialog did not come up"
press "$language" Return
box=$(wait_for_window "Error") || fail "no box titled exactly \"Error\""
press "$box" Return
expect_exit "$pid" 5 "without a language file"
pid=""

echo "3. A folder named lang_00.ini is no language: the next file is offered."
mkdir "$work/lang_00.ini"
cp "$bin/lang_01.ini" "$work/"
title1=$(language_text "$bin/lang_01.ini" 0)
"$work/brovane" &
pid=$!
language=$(wait_for_window "Set Language") || fail "the language dialog did not come up"
press "$language" Return
port=$(wait_for_window "$title1 - Version 1.4") || fail "lang_01.ini was not loaded"
press "$port" Escape
expect_exit "$pid" 0 "at the end"
pid=""

echo "4. Closing the language dialog ends the program with exit code 0."
"$bin/brovane" &
pid=$!
language=$(wait_for_window "Set Language") || fail "the language dialog did not come up"
press "$language" Escape
expect_exit "$pid" 0 "at the end"
pid=""
echo "PASS"
