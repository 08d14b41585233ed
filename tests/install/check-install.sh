#!/usr/bin/env bash
# Checks that an installed Tolvanix is where a Linux desktop looks for it:
#   check-install.sh tree BUILD   cmake --install BUILD into a scratch root
#   check-install.sh deb BUILD    cpack BUILD, then dpkg -x the .deb into one
set -uo pipefail

mode=$1
build=$(cd "$2" && pwd)
id=org.example.Tolvanix
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root=$scratch/root
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

if [ "$mode" = tree ]; then
  DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null || fail "cmake --install"
else
  cpack --config "$build/CPackConfig.cmake" -B "$scratch/package" >/dev/null || fail "cpack"
  deb=$(ls "$scratch"/package/tolvanix_*.deb) || exit 1
  dpkg -x "$deb" "$root" || fail "dpkg -x"
  depends=$(dpkg-deb -f "$deb" Depends)
  for needed in libqt6widgets6 fonts-ipafont-gothic; do
    [[ $depends == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
  done
  [[ $depends != *san* ]] || fail "Depends names a sanitizer runtime: $depends"
fi

# Exactly these files, nothing of the build (libraries, tests, headers).
expected="usr/bin/tolvanix
usr/share/applications/$id.desktop
usr/share/icons/hicolor/128x128/apps/$id.png
usr/share/icons/hicolor/256x256/apps/$id.png
usr/share/icons/hicolor/32x32/apps/$id.png
usr/share/icons/hicolor/64x64/apps/$id.png
usr/share/metainfo/$id.metainfo.xml
usr/share/mime/packages/$id.xml"
actual=$(cd "$root" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
[ "$actual" = "$expected" ] || fail "installed files differ: $(diff <(echo "$expected") <(echo "$actual"))"

# The program runs on the system's libraries and answers without a window.
program=$root/usr/bin/tolvanix
readelf -d "$program" | grep -Eq 'R(UN)?PATH' && fail "the program keeps a library search path"
ldd "$program" | grep -q 'not found' && fail "libraries not found"
version=$(QT_QPA_PLATFORM=offscreen timeout 20 "$program" --version 2>/dev/null)
[[ $version == "Tolvanix "[0-9]* ]] || fail "--version printed '$version'"

# The desktop entry starts it with one file, names its icon and opens the file
# type the MIME database gives a first piece.
desktop=$root/usr/share/applications/$id.desktop
key() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(key Exec)" = "tolvanix %f" ] || fail "Exec=$(key Exec), not 'tolvanix %f'"
[ "$(key Icon)" = "$id" ] || fail "Icon=$(key Icon), not $id"
type=$(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$root/usr/share/mime/packages/$id.xml")
[[ ";$(key MimeType)" == *";$type;"* ]] || fail "MimeType=$(key MimeType) lacks '$type'"
out=$(XDG_DATA_DIRS=$root/usr/share update-mime-database "$root/usr/share/mime" 2>&1)
[ -z "$out" ] || fail "update-mime-database: $out"
printf 'x.jpg\0\0\0\3\0\0\0' >"$scratch/x.001"
found=$(XDG_DATA_HOME=$scratch/none XDG_DATA_DIRS=$root/usr/share \
  gio info -a standard::content-type "$scratch/x.001" 2>&1 | sed -n 's/.*content-type: //p')
[ "$found" = "$type" ] || fail "x.001 is of type '$found', not $type"

# The freedesktop validators.
out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ] || fail "desktop-file-validate: $out"
appstreamcli validate --no-net --explain "$root/usr/share/metainfo/$id.metainfo.xml" ||
  fail "appstreamcli validate"

[ $failures -eq 0 ] && echo "$mode: all checks passed"
[ $failures -eq 0 ]
