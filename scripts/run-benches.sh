#!/usr/bin/env bash
# Builds the default preset's benchmark programs and runs each one briefly, so that a bench that
# no longer runs fails CI. The figures of so short a run mean nothing; each program's time is
# printed at the end.
#
#   scripts/run-benches.sh [MIN_TIME]      (seconds per benchmark, default 0.01)
#
# QUILLSTAR_BUILD_DIR uses a build folder that is already configured instead of the default
# preset's.
set -euo pipefail
cd "$(dirname "$0")/.."

min_time=${1:-0.01}
build=${QUILLSTAR_BUILD_DIR:-}
if [[ -z $build ]]; then
    cmake --preset default >/dev/null
    build=build/default
    build_command=(cmake --build --preset default)
else
    build_command=(cmake --build "$build")
fi

# The bench programs this configuration has (the painting ones need the Qt side).
mapfile -t benches < <("${build_command[@]}" --target help \
    | sed -n 's/^\(bench_[a-z0-9_]*\): .*/\1/p' | sort -u)
((${#benches[@]} > 0)) || { echo "run-benches: no bench targets in $build" >&2; exit 1; }
"${build_command[@]}" --target "${benches[@]}"

timings=()
failed=()
for bench in "${benches[@]}"; do
    echo "== $bench"
    started=$EPOCHREALTIME
    # The painting benches paint offscreen.
    if QT_QPA_PLATFORM=offscreen "$build/bench/$bench" --benchmark_min_time="$min_time" \
        --benchmark_color=false; then
        result=ok
    else
        result="FAILED ($?)"
        failed+=("$bench")
    fi
    seconds=$(awk -v a="$started" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.1f", b - a }')
    timings+=("$(printf '%-26s %6s s  %s' "$bench" "$seconds" "$result")")
done

echo "== time per bench"
printf '%s\n' "${timings[@]}"
if ((${#failed[@]} > 0)); then
    echo "run-benches: failed: ${failed[*]}" >&2
    exit 1
fi
