#!/usr/bin/env bash
# Renders every page of the configuration sheet in each language file offscreen, as
# screenshots/<language>/<page>.png, so that the sheet can be looked at without a card.
# Usage: scripts/screenshots.sh <build-folder>
set -euo pipefail

build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/screenshots"

cmake --build "$build" --target ui_sheet_screenshots brovane_lang_files
mkdir -p "$out"
QT_QPA_PLATFORM=offscreen BROVANE_SCREENSHOTS="$out" "$build/bin/ui_sheet_screenshots"
echo "Screenshots in $out"
