#!/usr/bin/env bash
# The micro-benchmarks: the path map at a million entries, the report loader
# at half a million rows.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$root" -B "$root/build/native" -G Ninja >/dev/null
cmake --build "$root/build/native" -j2 --target bench_map_strings bench_loader >/dev/null
"$root/build/native/bench/bench_map_strings" "${1:-1000000}"
"$root/build/native/bench/bench_loader" "${2:-500000}"
