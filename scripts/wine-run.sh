#!/usr/bin/env bash
# Runs a Windows program under Wine in the private prefix PREFIX (made first
# if need be), headless and quiet: how CTest runs the Windows build's tests.
#   scripts/wine-run.sh PREFIX PROGRAM.exe [ARGUMENTS...]
set -euo pipefail
prefix=${1:?usage: wine-run.sh PREFIX PROGRAM [ARGS...]}
shift
here=$(dirname "$0")
"$here/wine-prefix.sh" "$prefix"
. "$here/wine-env.sh" "$prefix"
exec "$wine" "$@"
