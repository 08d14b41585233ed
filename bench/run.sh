#!/usr/bin/env bash
# Builds the benchmark in Release and runs every case against GNU split, cat
# and cp. The files go to a folder beside the repository, on the same disk
# (or to $TOLVANIX_BENCH_DIR); the bench deletes its own files when done.
# Extra arguments go to the bench, e.g. --runs 15 or --cases 13.
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
data="${TOLVANIX_BENCH_DIR:-$repo/../bench-data}"
# As many jobs as the machine has cores, or TOLVANIX_JOBS.
jobs=${TOLVANIX_JOBS:-$(nproc)}
cmake -S "$repo" -B "$repo/build-bench" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DTOLVANIX_BUILD_TESTS=OFF >/dev/null
cmake --build "$repo/build-bench" -j"$jobs" --target tolvanix_bench
mkdir -p "$data"
"$repo/build-bench/bin/tolvanix_bench" --dir "$data" "$@"
rmdir "$data" 2>/dev/null || true
