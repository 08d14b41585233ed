#!/usr/bin/env bash
# The installed tree or .deb holds what a desktop looks for.   check-install.sh tree|deb BUILD
set -uo pipefail
build=$(cd "$2" && pwd)
id=org.example.Tolvanix
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root=$scratch/root share=$scratch/root/usr/share failures=0
fail() { echo "FAIL: $*" && failures=$((failures + 1)); }

if [ "$1" = tree ]; then
  DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null || fail "cmake --install"
else
  cpack --config "$build/CPackConfig.cmake" -B "$scratch/package" >/dev/null || fail "cpack"
  deb=$(ls "$scratch"/package/tolvanix_*.deb) && dpkg -x "$deb" "$root" || exit 1
  depends=$(dpkg-deb -f "$deb" Depends)
  [[ $depends == *libqt6widgets6*fonts-ipafont-gothic* || $depends == *fonts-ipafont-gothic*libqt6widgets6* ]] ||
    fail "Depends lacks Qt or the Japanese font: $depends"
  [[ $depends == *libssl3*zlib1g* ]] || fail "Depends lacks the digests' libraries: $depends"
  out=$(lintian --fail-on error,warning "$deb" 2>&1) || fail "lintian: $out"
fi

expected="usr/bin/tolvanix
usr/bin/tolvanix-cli
usr/share/applications/$id.desktop
usr/share/bash-completion/completions/tolvanix-cli
usr/share/doc/tolvanix/changelog.gz
usr/share/doc/tolvanix/copyright
$(for s in 128 256 32 64; do echo "usr/share/icons/hicolor/${s}x$s/apps/$id.png"; done)
usr/share/man/man1/tolvanix-cli.1.gz
usr/share/man/man1/tolvanix.1.gz
usr/share/metainfo/$id.metainfo.xml
usr/share/mime/packages/$id.xml"
actual=$(cd "$root" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
[ "$actual" = "$expected" ] || fail "installed files differ: $(diff <(echo "$expected") <(echo "$actual"))"

program=$root/usr/bin/tolvanix
readelf -d "$program" | grep -Eq 'R(UN)?PATH' && fail "the program keeps a library search path"
version=$(QT_QPA_PLATFORM=offscreen timeout 20 "$program" --version 2>/dev/null)
[[ $version == "Tolvanix "[0-9]* ]] || fail "--version printed '$version'"
version=$("$root/usr/bin/tolvanix-cli" --version 2>&1)
[[ $version == "tolvanix-cli (Tolvanix) "[0-9]* ]] || fail "tolvanix-cli --version printed '$version'"
# bash completes the command line's commands from the installed completion.
words=$(bash -c 'source /usr/share/bash-completion/bash_completion && source "$0" &&
  COMP_WORDS=(tolvanix-cli "") COMP_CWORD=1 && _tolvanix_cli && echo "${COMPREPLY[*]}"' \
  "$share/bash-completion/completions/tolvanix-cli" 2>&1)
[ "$words" = "split join check" ] || fail "bash completes tolvanix-cli with '$words'"

# The desktop entry opens the type the MIME database gives a first piece.
desktop=$share/applications/$id.desktop
key() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(key Exec)" = "tolvanix %f" ] || fail "Exec=$(key Exec), not 'tolvanix %f'"
[ "$(key Icon)" = "$id" ] || fail "Icon=$(key Icon), not $id"
type=$(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$share/mime/packages/$id.xml")
[[ ";$(key MimeType)" == *";$type;"* ]] || fail "MimeType=$(key MimeType) lacks '$type'"
out=$(XDG_DATA_DIRS=$share update-mime-database "$share/mime" 2>&1) && [ -z "$out" ] ||
  fail "update-mime-database: $out"
printf 'x.jpg\0\0\0\3\0\0\0' >"$scratch/x.001"
found=$(XDG_DATA_HOME=$scratch/none XDG_DATA_DIRS=$share gio info -a standard::content-type \
  "$scratch/x.001" 2>&1 | sed -n 's/.*content-type: //p')
[ "$found" = "$type" ] || fail "x.001 is of type '$found', not $type"
out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ] || fail "desktop-file-validate: $out"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" >/dev/null || fail "appstreamcli"

[ $failures -eq 0 ] && echo "$1: all checks passed"
