#!/usr/bin/env bash
# Runs every benchmark once on this machine and prints one table. Ratios
# (x_memcpy) compare each kernel with copying the same picture.
set -euo pipefail
build="$1"
"$build/bench/corvellin-bench" --benchmark_min_time=0.2 --benchmark_counters_tabular=true "${@:2}"
