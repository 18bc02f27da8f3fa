#!/usr/bin/env bash
# Measures everything once on this machine and prints one table: the kernels
# beside memcpy, the editor window's thumbnails, corvellin-fx beside
# ImageMagick and libvips, a five-effect history's time and peak memory
# and the PNG, HEIC, orientation and metadata rows (bench/report). Extra arguments go to the report (--repeats N, --sections 12345).
#
# Detailed micro runs of single kernels stay in the Google Benchmark program:
#   cmake --build build --target corvellin-bench && build/bench/corvellin-bench --benchmark_filter=GrayScale
set -euo pipefail
build="$1"
"$build/bench/corvellin-bench-report" "${@:2}"
