; The Thrustlet installer for 64-bit Windows. Built by scripts/package-windows,
; which defines VERSION, STAGE (the folder holding what is installed), FILES
; (an include of the File lines, with UNFILES the matching Delete lines) and
; OUTFILE.
;
; Installs into Program Files\Thrustlet, adds a Start-menu shortcut, opens
; .tlt files with Thrustlet and registers with Add/Remove Programs. The
; uninstaller removes exactly what was installed: the user's motor files and
; settings (HKEY_CURRENT_USER\software\Thrustlet) stay.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "LogicLib.nsh"

!define PRODUCT "Thrustlet"
!define PUBLISHER "Veskarn"
!define PROGID "Thrustlet.MotorFile"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Thrustlet"
; Shell notification that file associations changed (SHCNE_ASSOCCHANGED).
!define SHCNE_ASSOCCHANGED 0x08000000

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright 2026 ${PUBLISHER}"

!define MUI_ICON "${STAGE}\thrustlet.ico"
!define MUI_UNICON "${STAGE}\thrustlet.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\thrustlet.exe"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "Thrustlet"
  SetOutPath "$INSTDIR"
  !include "${FILES}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\thrustlet.exe" "" "$INSTDIR\thrustlet.exe" 0

  ; .tlt files open with Thrustlet. A class another program had set for
  ; them is kept, to be put back by the uninstaller.
  ReadRegStr $0 HKLM "Software\Classes\.tlt" ""
  ${If} $0 != ""
  ${AndIf} $0 != "${PROGID}"
    WriteRegStr HKLM "${UNINST_KEY}" "PreviousTltClass" $0
  ${EndIf}
  WriteRegStr HKLM "Software\Classes\.tlt" "" "${PROGID}"
  WriteRegStr HKLM "Software\Classes\.tlt\OpenWithProgids" "${PROGID}" ""
  WriteRegStr HKLM "Software\Classes\${PROGID}" "" "Thrustlet motor file"
  WriteRegStr HKLM "Software\Classes\${PROGID}\DefaultIcon" "" '"$INSTDIR\thrustlet.exe",0'
  WriteRegStr HKLM "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\thrustlet.exe" "%1"'

  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" '"$INSTDIR\thrustlet.exe",0'
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "URLInfoAbout" "http://www.example.org/thrustlet"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" ${SIZE_KB}

  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
  ; Each installed file by name: whatever else is in the folders stays, and
  ; so do the folders that hold it.
  !include "${UNFILES}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR\examples"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${PRODUCT}.lnk"

  ReadRegStr $1 HKLM "${UNINST_KEY}" "PreviousTltClass"
  ReadRegStr $0 HKLM "Software\Classes\.tlt" ""
  ${If} $0 == "${PROGID}"
    ${If} $1 != ""
      WriteRegStr HKLM "Software\Classes\.tlt" "" $1
    ${Else}
      DeleteRegValue HKLM "Software\Classes\.tlt" ""
    ${EndIf}
  ${EndIf}
  DeleteRegValue HKLM "Software\Classes\.tlt\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifempty HKLM "Software\Classes\.tlt\OpenWithProgids"
  DeleteRegKey /ifempty HKLM "Software\Classes\.tlt"
  DeleteRegKey HKLM "Software\Classes\${PROGID}"
  DeleteRegKey HKLM "${UNINST_KEY}"

  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'
SectionEnd
