#!/usr/bin/env bash
# Installs what is needed and builds the Windows program for release: one
# statically linked tolvanix.exe in dist/, which needs no DLL beside it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh windows

build=build-win-release
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DTOLVANIX_BUILD_TESTS=OFF
cmake --build "$build" -j2 --target tolvanix
mkdir -p dist
cp "$build/bin/tolvanix.exe" dist/
x86_64-w64-mingw32-strip dist/tolvanix.exe
scripts/check-imports.sh dist/tolvanix.exe
