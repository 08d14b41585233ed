#!/usr/bin/env bash
# Installs what is needed and builds the Windows packages for release, in dist/:
#   tolvanix-VERSION-windows-x64.zip  the portable program: one statically
#                                     linked tolvanix.exe, which needs no DLL
#                                     beside it, and a read-me;
#   tolvanix-VERSION-setup.exe        the installer (NSIS): per user, no
#                                     administrator; /S installs silently.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh windows
# As many jobs as the machine has cores, or TOLVANIX_JOBS.
jobs=${TOLVANIX_JOBS:-$(nproc)}

build=build-win-release
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DTOLVANIX_BUILD_TESTS=OFF
cmake --build "$build" -j"$jobs" --target tolvanix_packages
scripts/check-imports.sh "$build"/package/Tolvanix-*/tolvanix.exe
mkdir -p dist
cp "$build"/package/*.zip "$build"/package/*-setup.exe dist/
ls -l dist
