#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for the given number of seconds, each on its own
# fresh corpus folder, and fails on the first crash.
set -euo pipefail
build=${1:?build folder}
seconds=${2:-60}
shopt -s nullglob
targets=("$build"/bin/fuzz_*)
if [ ${#targets[@]} -eq 0 ]; then
    echo "no fuzz targets built"
    exit 0
fi
for target in "${targets[@]}"; do
    corpus=$(mktemp -d)
    trap 'rm -rf "$corpus"' EXIT
    echo "fuzzing $(basename "$target") for ${seconds}s"
    options=(-max_total_time="$seconds" -max_len=4096 -print_final_stats=1)
    # A dictionary of the format's tokens lies beside the target's source, when it has one.
    dict="$(dirname "$0")/../fuzz/$(basename "$target").dict"
    [ -f "$dict" ] && options+=(-dict="$dict")
    "$target" "${options[@]}" "$corpus" 2>&1 | tail -n 15
    rm -rf "$corpus"
done
