#!/usr/bin/env bash
# Checks that an installed Tolvanix is where a Linux desktop looks for it.
#
#   check-install.sh tree BUILD   cmake --install BUILD into a scratch root
#   check-install.sh deb BUILD    cpack BUILD, then dpkg -x the .deb into one
#
# Either way the scratch root must hold exactly the program, its desktop
# entry, its AppStream file, its icons and the file type it opens, and they
# must agree with each other.
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

case $mode in
  tree)
    DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null || fail "cmake --install"
    ;;
  deb)
    cpack --config "$build/CPackConfig.cmake" -B "$scratch/package" >/dev/null || fail "cpack"
    debs=("$scratch"/package/tolvanix_*.deb)
    [ -f "${debs[0]}" ] || { fail "cpack made no tolvanix_*.deb"; exit 1; }
    deb=${debs[0]}
    dpkg -x "$deb" "$root" || fail "dpkg -x"
    [ "$(dpkg-deb -f "$deb" Package)" = tolvanix ] || fail "package name"
    depends=$(dpkg-deb -f "$deb" Depends)
    echo "Depends: $depends"
    for needed in libqt6widgets6 libqt6gui6 libqt6core6 fonts-ipafont-gothic; do
      [[ ", $depends," == *", $needed "* || ", $depends," == *", $needed,"* ]] ||
        fail "Depends lacks $needed"
    done
    [[ $depends != *lib*san* ]] || fail "Depends names a sanitizer runtime"
    ;;
  *)
    echo "usage: $0 tree|deb BUILD" >&2
    exit 2
    ;;
esac

# Exactly these files, nothing of the build (libraries, tests, headers).
expected=(
  "usr/bin/tolvanix"
  "usr/share/applications/$id.desktop"
  "usr/share/icons/hicolor/128x128/apps/$id.png"
  "usr/share/icons/hicolor/256x256/apps/$id.png"
  "usr/share/icons/hicolor/32x32/apps/$id.png"
  "usr/share/icons/hicolor/64x64/apps/$id.png"
  "usr/share/metainfo/$id.metainfo.xml"
  "usr/share/mime/packages/$id.xml"
)
actual=$(cd "$root" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
if [ "$actual" != "$(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)" ]; then
  fail "installed files differ:"
  diff <(printf '%s\n' "${expected[@]}" | LC_ALL=C sort) <(echo "$actual")
fi

# The program: runnable, on the system's libraries, not the build folder's.
program=$root/usr/bin/tolvanix
[ -x "$program" ] || fail "usr/bin/tolvanix is not executable"
if readelf -d "$program" 2>/dev/null | grep -Eq 'R(UN)?PATH'; then
  fail "usr/bin/tolvanix keeps a library search path: $(readelf -d "$program" | grep -E 'R(UN)?PATH')"
fi
if ldd "$program" | grep -q 'not found'; then
  fail "libraries not found: $(ldd "$program" | grep 'not found')"
fi
# It answers --version and --help and ends, without a window.
version=$(QT_QPA_PLATFORM=offscreen timeout 20 "$program" --version 2>/dev/null)
[ "$version" = "Tolvanix $(sed -n 's/^project(Tolvanix VERSION \([0-9.]*\).*/\1/p' \
  "$(dirname "$0")/../../CMakeLists.txt")" ] || fail "--version printed '$version'"
QT_QPA_PLATFORM=offscreen timeout 20 "$program" --help 2>/dev/null | grep -q '^Usage: .*\[FILE\]' ||
  fail "--help printed no usage"

# The desktop entry starts that program with one file and names that icon,
# in both languages, and opens the file type of first pieces.
desktop=$root/usr/share/applications/$id.desktop
key() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(key Type)" = Application ] || fail "Type is not Application"
[ -x "$root/usr/bin/$(key Exec | cut -d' ' -f1)" ] || fail "Exec=$(key Exec) is not installed"
[ "$(key Exec)" = "tolvanix %f" ] || fail "Exec=$(key Exec), not 'tolvanix %f'"
mime=$root/usr/share/mime
type=$(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$mime/packages/$id.xml")
[ -n "$type" ] || fail "mime/packages/$id.xml declares no type"
[[ ";$(key MimeType)" == *";$type;"* ]] || fail "MimeType=$(key MimeType) lacks '$type'"
[ "$(key Icon)" = "$id" ] || fail "Icon=$(key Icon), not $id"
for k in Name 'Name\[ja\]' Comment 'Comment\[ja\]'; do
  [ -n "$(key "$k")" ] || fail "desktop entry lacks $k"
done
[[ ";$(key Categories)" == *";Utility;"* ]] || fail "Categories lacks Utility"

# Each icon has the size of its folder (width and height from the PNG header).
for size in 32 64 128 256; do
  png=$root/usr/share/icons/hicolor/${size}x${size}/apps/$id.png
  [ -f "$png" ] || continue
  read -r w h < <(od -An -tu1 -j16 -N8 "$png" |
    awk '{ print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }')
  [ "$w $h" = "$size $size" ] || fail "$size x $size icon is $w x $h"
done

# The AppStream file speaks of the same program and desktop entry.
metainfo=$root/usr/share/metainfo/$id.metainfo.xml
grep -q "<id>$id</id>" "$metainfo" || fail "metainfo id is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  fail "metainfo does not launch $id.desktop"
grep -q "<binary>tolvanix</binary>" "$metainfo" || fail "metainfo does not provide tolvanix"

# The MIME database takes the type, with both comments, and maps a first
# piece's name to it.
for lang in '' ' xml:lang="ja"'; do
  grep -q "<comment$lang>..*</comment>" "$mime/packages/$id.xml" || fail "no comment$lang for $type"
done
if command -v update-mime-database >/dev/null; then
  out=$(XDG_DATA_DIRS=$root/usr/share update-mime-database "$mime" 2>&1)
  [ $? -eq 0 ] && [ -z "$out" ] || fail "update-mime-database: $out"
  printf 'x.jpg\0\0\0\3\0\0\0' >"$scratch/x.001"
  found=$(XDG_DATA_HOME=$scratch/none XDG_DATA_DIRS=$root/usr/share \
    gio info -a standard::content-type "$scratch/x.001" 2>&1 | sed -n 's/.*content-type: //p')
  [ "$found" = "$type" ] || fail "x.001 is of type '$found', not $type"
else
  echo "update-mime-database is not installed: MIME type not checked"
fi

# The freedesktop validators, where they are installed.
if command -v desktop-file-validate >/dev/null; then
  out=$(desktop-file-validate "$desktop" 2>&1)
  [ $? -eq 0 ] && [ -z "$out" ] || fail "desktop-file-validate: $out"
else
  echo "desktop-file-validate is not installed: desktop entry not validated"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --explain "$metainfo" || fail "appstreamcli validate"
else
  echo "appstreamcli is not installed: metainfo not validated"
fi

[ $failures -eq 0 ] && echo "$mode: all checks passed"
[ $failures -eq 0 ]
