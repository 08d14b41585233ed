#!/usr/bin/env bash
# Installs what is needed, builds Tolvanix and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# As many jobs as the machine has cores, or TOLVANIX_JOBS.
jobs=${TOLVANIX_JOBS:-$(nproc)}
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOLVANIX_BUILD_TESTS=OFF \
  -DTOLVANIX_BUILD_BENCH=OFF
cmake --build build -j"$jobs" --target tolvanix
exec build/bin/tolvanix
