#!/usr/bin/env bash
# Writes the seeds of every fuzz target into its committed corpus fuzz/corpus/<target>/ with the
# seed writer (fuzz/seeds/write_seeds.cpp), for when a record layout or an input format changed.
# Seeds of the same name are replaced; finds of earlier runs stay unless --fresh is given, which
# drops every target's corpus first (finds made for an old layout only cost run time).
#
#   scripts/seed-fuzz-corpus.sh [--fresh]
#
# Then scripts/run-fuzz.sh --keep 60 grows the corpus from the new seeds.
set -euo pipefail
cd "$(dirname "$0")/.."

fresh=0
if [[ ${1:-} == --fresh ]]; then
    fresh=1
fi

cmake --preset fuzz
cmake --build --preset fuzz --target fuzz_seed_writer
IFS=';' read -r -a list <<<"$(cat build/fuzz/fuzz-targets.txt)"
if [[ $fresh == 1 ]]; then
    for target in "${list[@]}"; do
        [[ -n "$target" ]] && rm -rf "fuzz/corpus/$target"
    done
fi
build/fuzz/fuzz/fuzz_seed_writer fuzz/corpus
for target in "${list[@]}"; do
    [[ -n "$target" ]] || continue
    if [[ -z $(find "fuzz/corpus/$target" -type f 2>/dev/null | head -1) ]]; then
        echo "warning: no seeds for $target; teach fuzz/seeds/write_seeds.cpp its input" >&2
    fi
done
