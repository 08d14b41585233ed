; The Windows installer: a per-user install under %LOCALAPPDATA%\Programs
; that needs no administrator, a Start menu entry, Tolvanix in the "Open
; with" list of .001 files and in the "Send to" menu, and an uninstaller
; that takes all of it away.
; Japanese and English pages; /S installs and uninstalls silently.
;   makensis -DVERSION=1.0 -DEXE=tolvanix.exe -DCLI=tolvanix-cli.exe
;            -DREADME=readme.txt -DICON=tolvanix.ico -DOUTFILE=setup.exe tolvanix.nsi
; 64-bit, as the program: it runs where a 64-bit Wine or Windows has no 32-bit part.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include "MUI2.nsh"

!define APP "Tolvanix"
!define PROGID "Tolvanix.PieceSet"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${APP}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\tolvanix.exe"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first is the default where the system's language is neither.
!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro MUI_LANGUAGE "English"

LangString PIECE_SET ${LANG_JAPANESE} "Tolvanix 分割ファイル"
LangString PIECE_SET ${LANG_ENGLISH} "Tolvanix piece set"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${APP}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${APP} ${VERSION} setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (C) 2026 Tolvanix project"

Function .onInit
  SetShellVarContext current
  !insertmacro MUI_LANGDLL_DISPLAY
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section
  SetOutPath "$INSTDIR"
  File "/oname=tolvanix.exe" "${EXE}"
  ; The command line, beside the window; not put on PATH (see readme.txt).
  File "/oname=tolvanix-cli.exe" "${CLI}"
  File "/oname=readme.txt" "${README}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\tolvanix.exe"
  ; "Send to": the file sent is the program's argument, split or, a .001, joined.
  CreateShortcut "$SENDTO\${APP}.lnk" "$INSTDIR\tolvanix.exe"

  ; "Open with": the program's own entry and a type for .001 files, beside
  ; whatever program opens them now, which is left as it is.
  WriteRegStr HKCU "Software\Classes\Applications\tolvanix.exe" "FriendlyAppName" "${APP}"
  WriteRegStr HKCU "Software\Classes\Applications\tolvanix.exe\SupportedTypes" ".001" ""
  WriteRegStr HKCU "Software\Classes\Applications\tolvanix.exe\shell\open\command" "" \
    '"$INSTDIR\tolvanix.exe" "%1"'
  WriteRegStr HKCU "Software\Classes\${PROGID}" "" "$(PIECE_SET)"
  WriteRegStr HKCU "Software\Classes\${PROGID}\DefaultIcon" "" '"$INSTDIR\tolvanix.exe",0'
  WriteRegStr HKCU "Software\Classes\${PROGID}\shell\open\command" "" \
    '"$INSTDIR\tolvanix.exe" "%1"'
  WriteRegStr HKCU "Software\Classes\.001\OpenWithProgids" "${PROGID}" ""

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Tolvanix project"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\tolvanix.exe",0'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1

  ; SHCNE_ASSOCCHANGED: Explorer reads the "Open with" list anew.
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\tolvanix.exe"
  Delete "$INSTDIR\tolvanix-cli.exe"
  Delete "$INSTDIR\readme.txt"
  ; The uninstaller runs from a copy of itself; the original may still be
  ; ending, and holding its file, for a moment after it started the copy.
  StrCpy $0 0
  retry_uninstaller:
  ClearErrors
  Delete "$INSTDIR\uninstall.exe"
  IfErrors 0 uninstaller_gone
  IntOp $0 $0 + 1
  Sleep 200
  IntCmp $0 50 uninstaller_gone retry_uninstaller uninstaller_gone
  uninstaller_gone:
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${APP}.lnk"
  Delete "$SENDTO\${APP}.lnk"

  DeleteRegKey HKCU "Software\Classes\Applications\tolvanix.exe"
  DeleteRegKey HKCU "Software\Classes\${PROGID}"
  DeleteRegValue HKCU "Software\Classes\.001\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifempty HKCU "Software\Classes\.001\OpenWithProgids"
  DeleteRegKey /ifempty HKCU "Software\Classes\.001"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
