; The Sekora installer for 64-bit Windows, made by scripts/windows-package.sh
; with makensis, which defines:
;   VERSION            the version, e.g. 0.1.0
;   OUTFILE            the installer to write
;   ICON               the program icon (.ico)
;   TERMS              the terms of use shown before installing (UTF-16)
;   INSTALL_LIST       SetOutPath and File lines of every file installed
;   UNINSTALL_LIST     Delete and RMDir lines of the same files and folders
;   INSTALLED_SIZE_KB  the size of the installed files
;
; It installs for every user of the machine into Program Files, adds the
; Start-menu shortcut and the entry of the list of installed programs.
; Uninstalling removes exactly the installed files, never the users' data
; (%LOCALAPPDATA%\Sekora: their catalogues and Keisan.txt).
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true

!include "MUI2.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Sekora"

Name "Sekora ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Sekora"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
BrandingText "Sekora ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1041 "ProductName" "Sekora"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "FileDescription" "Sekora ${VERSION} のインストーラー"
VIAddVersionKey /LANG=1041 "CompanyName" "The Sekora developers"
VIAddVersionKey /LANG=1041 "LegalCopyright" "Copyright (c) 2026 The Sekora developers (MIT License)"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${TERMS}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

; An earlier installation is uninstalled first, so that files the new
; version no longer has do not stay behind; the users' data stays.
Function RemoveEarlierInstallation
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  StrCmp $0 "" done
  IfFileExists "$0\uninstall.exe" 0 done
  ExecWait '"$0\uninstall.exe" /S _?=$0'
  Delete "$0\uninstall.exe"
  RMDir "$0"
  done:
FunctionEnd

Section "Sekora"
  SetShellVarContext all
  Call RemoveEarlierInstallation
  !include "${INSTALL_LIST}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The shortcut starts the program in its own folder.
  SetOutPath "$INSTDIR\bin"
  CreateShortcut "$SMPROGRAMS\Sekora.lnk" "$INSTDIR\bin\sekora.exe" "" \
    "$INSTDIR\bin\sekora.exe" 0 SW_SHOWNORMAL "" "函渠断面の決定"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Sekora"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The Sekora developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\bin\sekora.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${INSTALLED_SIZE_KB}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\Sekora.lnk"
  !include "${UNINSTALL_LIST}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
