#!/usr/bin/env bash
# Makes a private Wine prefix at PREFIX for running the Windows build, once:
# later calls return at once. The Japanese window fonts the program asks for
# are mapped to the IPA Gothic fonts (Debian's fonts-ipafont-gothic), which are
# copied into the prefix. Drive R: is a removable drive (a folder in the
# prefix). No Mono or Gecko is installed, and nothing asks. A prefix made by
# another version of this script, or of wine-env.sh, is made anew.
#   scripts/wine-prefix.sh PREFIX
set -euo pipefail
here=$(dirname "${BASH_SOURCE[0]}")
. "$here/wine-env.sh" "${1:?usage: wine-prefix.sh PREFIX}"
prefix=$WINEPREFIX
ready=$prefix/.tolvanix-ready-$(cat "$here/wine-prefix.sh" "$here/wine-env.sh" | sha256sum | cut -c1-16)
[ -e "$ready" ] && exit 0

# Tests running side by side wait for the one that makes the prefix.
exec 9>"$prefix.lock"
flock 9
[ -e "$ready" ] && exit 0

unset DISPLAY WAYLAND_DISPLAY
rm -rf "$prefix"
wineboot=$(command -v wineboot || echo /usr/lib/wine/wineboot)
"$wineboot" --init >/dev/null 2>&1
wineserver -w

mkdir -p "$prefix/removable-medium"
ln -sfn ../removable-medium "$prefix/dosdevices/r:"

fonts=/usr/share/fonts/opentype/ipafont-gothic
for f in ipag.ttf ipagp.ttf; do
  [ -e "$fonts/$f" ] || { echo "missing $fonts/$f: install fonts-ipafont-gothic" >&2; exit 1; }
  cp "$fonts/$f" "$prefix/drive_c/windows/Fonts/"
done
# regedit reads UTF-16 files: the font names are full-width Japanese.
reg=$prefix/tolvanix-fonts.reg
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n'
  for key in 'HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\Fonts'; do
    printf '[%s]\r\n' "$key"
    printf '"IPAGothic (TrueType)"="ipag.ttf"\r\n'
    printf '"IPAPGothic (TrueType)"="ipagp.ttf"\r\n\r\n'
  done
  printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n'
  printf '"ＭＳ Ｐゴシック"="IPAPGothic"\r\n'
  printf '"ＭＳ ゴシック"="IPAGothic"\r\n'
  printf '"MS PGothic"="IPAPGothic"\r\n'
  printf '"MS Gothic"="IPAGothic"\r\n'
  printf '"MS UI Gothic"="IPAPGothic"\r\n'
  printf '"Meiryo UI"="IPAPGothic"\r\n'
  printf '"Meiryo"="IPAPGothic"\r\n\r\n'
  printf '[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]\r\n'
  printf '"r:"="floppy"\r\n\r\n'
} | iconv -f UTF-8 -t UTF-16 >"$reg"
"$wine" regedit /S "$reg" >/dev/null 2>&1
wineserver -w
touch "$ready"
