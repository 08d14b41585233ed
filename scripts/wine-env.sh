# Wine's environment for the Windows build, in the private prefix PREFIX (made
# absolute, as Wine wants it), for the scripts that make or use a prefix to
# source: quiet, 64-bit, no Mono or Gecko asked for. Sets $wine, the loader.
#   . scripts/wine-env.sh PREFIX
mkdir -p "$(dirname "${1:?usage: . wine-env.sh PREFIX}")"
WINEPREFIX=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
export WINEPREFIX WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml=d"
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
