#!/usr/bin/env bash
# Fails, listing the places, when clang-format would change any C++ file.
set -euo pipefail
cd "$(dirname "$0")/.."
format=$(command -v clang-format-14 || command -v clang-format) || {
  echo "clang-format is not installed (scripts/install-deps.sh installs it)" >&2
  exit 1
}
mapfile -t files < <(find src tests bench tools -name '*.cpp' -o -name '*.h' | LC_ALL=C sort)
"$format" --dry-run --Werror "${files[@]}"
echo "${#files[@]} files formatted as .clang-format says"
