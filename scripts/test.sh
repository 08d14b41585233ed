#!/usr/bin/env bash
# Installs what is needed and runs every test three times over:
#   build-test/  an optimised build with debug info: the whole suite, plus the
#                installed tree, the .deb and the source format;
#   build-win/   the Windows build (mingw-w64), its suite run under Wine in a
#                private prefix made in the folder, on a virtual display;
#   build-asan/  AddressSanitizer and UndefinedBehaviorSanitizer: the whole
#                suite again. Any sanitizer report fails the run, leaks too.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh windows
# As many jobs as the machine has cores, or TOLVANIX_JOBS.
jobs=${TOLVANIX_JOBS:-$(nproc)}

cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-test -j"$jobs"
ctest --test-dir build-test --output-on-failure -j"$jobs"

cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-win -j"$jobs"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir build-win --output-on-failure -j"$jobs"

# UndefinedBehaviorSanitizer stops the process at its first report (the build
# says -fno-sanitize-recover). AddressSanitizer's reports, leaks among them,
# go to files that are printed at the end, so one from a child process, or
# from a test that passes anyway, still fails the run.
reports=$PWD/build-asan/sanitizer-reports
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:log_path=$reports/asan
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTOLVANIX_SANITIZE=ON \
  -DTOLVANIX_BUILD_BENCH=OFF
rm -rf "$reports" && mkdir -p "$reports"
cmake --build build-asan -j"$jobs"
status=0
ctest --test-dir build-asan --output-on-failure -j"$jobs" || status=$?
if compgen -G "$reports/*" >/dev/null; then
  echo "Sanitizer reports:"
  cat "$reports"/*
  exit 1
fi
exit $status
