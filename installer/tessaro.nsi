; Installer for one machine: Tessaro into Program Files, a Start menu entry, and an uninstaller
; listed under Apps & features. Build with: makensis -DARCH=x64 -DDIST=<folder> -DOUT=<file>
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define PRODUCT "Tessaro"
!define VERSION "1.00"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaro"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUT}"
!if "${ARCH}" == "x64"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else
InstallDir "$PROGRAMFILES32\${PRODUCT}"
!endif
ShowInstDetails show

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
!if "${ARCH}" == "x64"
    SetRegView 64
!endif
FunctionEnd

Section "Tessaro"
    SetOutPath "$INSTDIR"
    File "${DIST}\tessaro.exe"
    File "${DIST}\pellumo.dll"
    File "${DIST}\pellumo2.dll"
    File "${DIST}\gpl.txt"
    File /oname=README.txt "${DIST}\README.md"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    SetShellVarContext all
    CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\tessaro.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The Tessaro developers"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tessaro.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function un.onInit
!if "${ARCH}" == "x64"
    SetRegView 64
!endif
FunctionEnd

; Removing the program leaves the AutoRun policy as the user last set it: that is the user's
; choice, not the program's.
Section "Uninstall"
    SetShellVarContext all
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    Delete "$INSTDIR\tessaro.exe"
    Delete "$INSTDIR\pellumo.dll"
    Delete "$INSTDIR\pellumo2.dll"
    Delete "$INSTDIR\gpl.txt"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
