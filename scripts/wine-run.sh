#!/usr/bin/env bash
# Runs a Windows program under Wine in the private prefix PREFIX (made first
# if need be), headless and quiet: how CTest runs the Windows build's tests.
#   scripts/wine-run.sh PREFIX PROGRAM.exe [ARGUMENTS...]
set -euo pipefail
prefix=${1:?usage: wine-run.sh PREFIX PROGRAM [ARGS...]}
shift
"$(dirname "$0")/wine-prefix.sh" "$prefix"
export WINEPREFIX=$(cd "$prefix" && pwd) WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=d"
exec "$(command -v wine64 || echo /usr/lib/wine/wine64)" "$@"
