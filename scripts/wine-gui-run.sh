#!/usr/bin/env bash
# Runs a Windows program that opens windows under Wine, in the private
# prefix PREFIX, on a virtual X server of its own. The prefix shows its
# windows in a Wine desktop: they need no window manager, and nothing waits
# for one to answer. A crash prints its backtrace and ends the program
# instead of waiting on a dialog nobody sees. TOLVANIX_WINE_DPI, if set when
# the prefix is made, is the screen's dpi there (96 otherwise). A prefix set
# up by another version of this script is set up again.
#   scripts/wine-gui-run.sh PREFIX PROGRAM.exe [ARGUMENTS...]
set -euo pipefail
prefix=${1:?usage: wine-gui-run.sh PREFIX PROGRAM [ARGS...]}
shift
here=$(dirname "$0")
"$here/wine-prefix.sh" "$prefix"
. "$here/wine-env.sh" "$prefix"
desktop=$WINEPREFIX/.tolvanix-desktop-$(sha256sum <"$here/wine-gui-run.sh" | cut -c1-16)
if [ ! -e "$desktop" ]; then
  reg=$WINEPREFIX/tolvanix-desktop.reg
  printf 'Windows Registry Editor Version 5.00\r\n\r\n%s\r\n%s\r\n\r\n%s\r\n%s\r\n\r\n%s\r\n%s\r\n' \
    '[HKEY_CURRENT_USER\Software\Wine\Explorer]' '"Desktop"="Default"' \
    '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' '"Default"="1024x768"' \
    '[HKEY_CURRENT_USER\Software\Wine\WineDbg]' '"ShowCrashDialog"=dword:00000000' >"$reg"
  printf '\r\n[HKEY_CURRENT_USER\Control Panel\Desktop]\r\n"LogPixels"=dword:%08x\r\n' \
    "${TOLVANIX_WINE_DPI:-96}" >>"$reg"
  "$wine" regedit /S "$reg" >/dev/null 2>&1
  wineserver -w
  touch "$desktop"
fi
# Its own display numbers, away from xvfb-run's usual 99: two of them
# starting at once would race for the same.
exec xvfb-run -a -n 140 -s "-screen 0 1024x768x24 -nolisten tcp" "$here/wine-run.sh" "$prefix" "$@"
