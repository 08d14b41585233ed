#!/usr/bin/env bash
# Fails when a Windows program imports a DLL that a bare Windows 10 lacks: the
# build links the C++ runtime, libgcc and winpthreads in, so only the
# system's own DLLs may be named.
#   scripts/check-imports.sh PROGRAM.exe...
set -euo pipefail
objdump=$(command -v x86_64-w64-mingw32-objdump) || { echo "no mingw-w64 objdump" >&2; exit 1; }
status=0
for exe in "$@"; do
  mapfile -t dlls < <("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p')
  [ ${#dlls[@]} -gt 0 ] || { echo "$exe: no imports found" >&2; status=1; continue; }
  for dll in "${dlls[@]}"; do
    case "${dll,,}" in
      kernel32.dll | user32.dll | gdi32.dll | comctl32.dll | comdlg32.dll | shell32.dll | \
        ole32.dll | oleaut32.dll | advapi32.dll | imm32.dll | uxtheme.dll | shlwapi.dll | msvcrt.dll | \
        ntdll.dll | bcrypt.dll | ws2_32.dll | version.dll | dwmapi.dll | shcore.dll | api-ms-win-*.dll) ;;
      *) echo "$exe imports $dll, which Windows does not ship" >&2; status=1 ;;
    esac
  done
  echo "$(basename "$exe"): ${dlls[*]}"
done
exit $status
