#!/usr/bin/env bash
# Builds the fuzz preset and runs every fuzz target for the given number of seconds (default 10).
#
#   scripts/run-fuzz.sh [--keep] [SECONDS] [TARGET...]
#
# Each run starts from the committed corpus fuzz/corpus/<target>/, which it only reads; new finds
# go to build/fuzz/corpus/<target>/ and leave with the build. --keep merges the finds that add
# coverage into fuzz/corpus/<target>/ afterwards, ready to be committed. Crashes are written to
# build/fuzz/artifacts/, never into a corpus.
set -euo pipefail
cd "$(dirname "$0")/.."

keep=0
if [[ ${1:-} == --keep ]]; then
    keep=1
    shift
fi
seconds=${1:-10}
shift || true

cmake --preset fuzz
cmake --build --preset fuzz
if [[ $# -gt 0 ]]; then
    list=("$@")
else
    IFS=';' read -r -a list <<<"$(cat build/fuzz/fuzz-targets.txt)"
fi
mkdir -p build/fuzz/artifacts
for target in "${list[@]}"; do
    [[ -n "$target" ]] || continue
    corpus=build/fuzz/corpus/$target
    committed=fuzz/corpus/$target
    mkdir -p "$corpus"
    dirs=("$corpus")
    [[ -d "$committed" ]] && dirs+=("$committed")
    echo "== $target (${seconds}s)"
    build/fuzz/fuzz/"$target" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix=build/fuzz/artifacts/"$target"- "${dirs[@]}" \
        2>build/fuzz/"$target".log || { tail -50 build/fuzz/"$target".log; exit 1; }
    grep -E 'stat::number_of_executed_units' build/fuzz/"$target".log || true
    if [[ $keep == 1 ]]; then
        mkdir -p "$committed"
        before=$(find "$committed" -type f | wc -l)
        build/fuzz/fuzz/"$target" -merge=1 -artifact_prefix=build/fuzz/artifacts/"$target"- \
            "$committed" "$corpus" 2>build/fuzz/"$target".merge.log \
            || { tail -50 build/fuzz/"$target".merge.log; exit 1; }
        after=$(find "$committed" -type f | wc -l)
        echo "   kept $((after - before)) new inputs in $committed ($after files, $(du -sk --apparent-size "$committed" | cut -f1) KiB)"
    fi
done
