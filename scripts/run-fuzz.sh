#!/usr/bin/env bash
# Builds the fuzz preset and runs every fuzz target for the given number of seconds (default 10).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}

cmake --preset fuzz
cmake --build --preset fuzz
targets=$(cat build/fuzz/fuzz-targets.txt)
IFS=';' read -r -a list <<<"$targets"
for target in "${list[@]}"; do
    [[ -n "$target" ]] || continue
    corpus=build/fuzz/corpus/$target
    mkdir -p "$corpus"
    echo "== $target (${seconds}s)"
    build/fuzz/fuzz/"$target" -max_total_time="$seconds" -print_final_stats=1 "$corpus" \
        2>build/fuzz/"$target".log || { tail -50 build/fuzz/"$target".log; exit 1; }
    grep -E 'stat::number_of_executed_units' build/fuzz/"$target".log || true
done
