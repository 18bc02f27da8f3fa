#!/usr/bin/env bash
# Runs every fuzz target of a CORVELLIN_FUZZ build for SECONDS each, JOBS at a
# time, starting from the generated seeds. Inputs that crash, leak, hang or run
# out of memory are copied into tests/fuzz/regressions/<target>/, which
# `make test` replays. Usage: run-fuzz.sh <build folder> <seconds> <jobs> [target...]
set -euo pipefail
build=$(realpath "$1")
seconds=$2
jobs=$3
shift 3
source_dir=$(cd "$(dirname "$0")" && pwd)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(jpeg bmp mask ini language update numbertext png tiff webp heif metadata)

work="$build/fuzz-run"
seeds="$build/fuzz-seeds"
mkdir -p "$work"
"$build/bin/fuzz_seeds" "$seeds"

run_one() {
    local target=$1
    local corpus="$work/$target/corpus" artifacts="$work/$target/artifacts"
    mkdir -p "$corpus" "$artifacts"
    # A hang is an input slower than FUZZ_TIMEOUT seconds (10; more on a
    # machine busy with other work); memory above 2 GB is out of memory.
    "$build/bin/fuzz_$target" -max_total_time="$seconds" -timeout="${FUZZ_TIMEOUT:-10}" -rss_limit_mb=2048 \
        -malloc_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/" \
        "$corpus" "$seeds/$target" >"$work/$target/log.txt" 2>&1 || true
    local found=0
    for file in "$artifacts"/*; do
        [ -f "$file" ] || continue
        mkdir -p "$source_dir/regressions/$target"
        cp "$file" "$source_dir/regressions/$target/"
        found=$((found + 1))
    done
    local done_line
    done_line=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$work/$target/log.txt" | tail -1 || true)
    echo "$target: ${done_line:-no DONE line (see $work/$target/log.txt)}; failing inputs: $found"
    [ "$found" -eq 0 ]
}
export -f run_one
export build seconds work seeds source_dir

status=0
printf '%s\n' "${targets[@]}" | xargs -P "$jobs" -I{} bash -c 'run_one "$@"' _ {} || status=1
exit $status
