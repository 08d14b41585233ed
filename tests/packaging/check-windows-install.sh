#!/usr/bin/env bash
# The Windows packages in a fresh Wine prefix: the zip needs no DLL; the silent install needs no
# administrator, and the silent uninstall leaves nothing behind.
#   check-windows-install.sh SETUP.exe PORTABLE.zip PREFIX
set -euo pipefail
setup=$1 zip=$2 prefix=$3
here=$(cd "$(dirname "$0")/../../scripts" && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }

[ "$(unzip -Z1 "$zip" | LC_ALL=C sort | tr '\n' ' ')" = "Tolvanix-1.0/ Tolvanix-1.0/readme.txt Tolvanix-1.0/tolvanix-cli.exe Tolvanix-1.0/tolvanix.exe " ] ||
  fail "the zip holds $(unzip -Z1 "$zip" | tr '\n' ' ')"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work"
"$here/check-imports.sh" "$work/Tolvanix-1.0/tolvanix.exe" "$work/Tolvanix-1.0/tolvanix-cli.exe"

rm -rf "$prefix" "$prefix.lock"
"$here/wine-prefix.sh" "$prefix"
. "$here/wine-env.sh" "$prefix"
user=$(basename "$(ls -d "$WINEPREFIX"/drive_c/users/* | grep -v /Public)")
home=$WINEPREFIX/drive_c/users/$user
dir=$home/AppData/Local/Programs/Tolvanix
link="$home/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Tolvanix.lnk"
sendto=$home/AppData/Roaming/Microsoft/Windows/SendTo/Tolvanix.lnk
keys=('HKCU\Software\Classes\Applications\tolvanix.exe' 'HKCU\Software\Classes\Tolvanix.PieceSet'
  'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tolvanix')
files() { (cd "$WINEPREFIX" && find . -path ./dosdevices -prune -o -type f -print | sort); }
files >"$work/before"

"$wine" "$setup" /S
wineserver -w
[ -f "$dir/tolvanix.exe" ] && [ -f "$dir/tolvanix-cli.exe" ] && [ -f "$dir/readme.txt" ] &&
  [ -f "$dir/uninstall.exe" ] ||
  fail "not installed under AppData\\Local\\Programs\\Tolvanix"
[ -f "$link" ] || fail "no Start menu entry"
[[ -f "$sendto" && $(strings -a "$sendto") == *'Tolvanix\tolvanix.exe'* ]] || fail "no Send to entry"
for key in "${keys[@]}"; do "$wine" reg query "$key" >/dev/null 2>&1 || fail "no $key"; done
version=$("$wine" "$dir/tolvanix-cli.exe" --version 2>&1)
[[ $version == "tolvanix-cli (Tolvanix) "* ]] || fail "tolvanix-cli.exe --version printed '$version'"
"$wine" reg query 'HKCU\Software\Classes\.001\OpenWithProgids' /v Tolvanix.PieceSet >/dev/null 2>&1 ||
  fail ".001 files do not offer Tolvanix"

"$wine" "$dir/uninstall.exe" /S
wineserver -w
[ ! -e "$dir" ] || fail "left behind: $(ls -A "$dir")"
[ ! -e "$link" ] || fail "the Start menu entry is left"
[ ! -e "$sendto" ] || fail "the Send to entry is left"
for key in "${keys[@]}"; do
  ! "$wine" reg query "$key" >/dev/null 2>&1 || fail "$key is left"
done
! "$wine" reg query 'HKCU\Software\Classes\.001' >/dev/null 2>&1 || fail ".001 is left"
wineserver -w
files | diff "$work/before" - | grep '^>' | grep -v -E '\.reg$|/(Temp|temp)/|/windows/' &&
  fail "files left behind" || true
echo "installed and uninstalled without a trace"
