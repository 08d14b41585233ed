#!/usr/bin/env bash
# Installs every Debian 12 package Tolvanix needs to build, test and run; with
# the argument "windows", also what the Windows build needs: the mingw-w64
# cross compiler, GoogleTest's sources, Wine to run the tests, NSIS and zip
# for the packages. Idempotent; run as root or through sudo.
#   scripts/install-deps.sh [windows]
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-translations-l10n libgl1-mesa-dev
  libgtest-dev libssl-dev zlib1g-dev
  fonts-ipafont-gothic
  xvfb xauth imagemagick dbus shared-mime-info libglib2.0-bin
  python3-pyatspi at-spi2-core
  clang-format desktop-file-utils appstream dpkg-dev gettext lintian bash-completion
)
if [ "${1:-}" = windows ]; then
  packages+=(g++-mingw-w64-x86-64-posix googletest wine wine64 nsis zip)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
