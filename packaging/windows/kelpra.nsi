; The Kelpra installer, built by packaging/CMakeLists.txt with makensis:
;   -DARCH=win32|win64 -DVERSION=2.0 -DOUTFILE=... -DICON=... -DLICENSE=LICENSE.txt
;   -DFILES=installer-files.nsh -DUNFILES=uninstaller-files.nsh
; Silent: Setup.exe /S [/D=folder]; Uninstall.exe /S.
Unicode true
!if "${ARCH}" == "win64"
    Target amd64-unicode
    !define DEFAULT_FOLDER "$PROGRAMFILES64\Kelpra"
!else
    Target x86-unicode
    !define DEFAULT_FOLDER "$PROGRAMFILES\Kelpra"
!endif
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kelpra"

Name "Kelpra ${VERSION}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "${DEFAULT_FOLDER}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show

; The installer's own version information (its file properties).
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=0 "ProductName" "Kelpra"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "Kelpra ${VERSION} setup"
VIAddVersionKey /LANG=0 "CompanyName" "The Kelpra developers"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright (c) 2026 The Kelpra developers. MIT licence."

LicenseData "${LICENSE}"
Page license
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Kelpra"
    !include "${FILES}"
    ; Kelpra takes this file beside it as the sign that it was installed, and
    ; keeps its settings and backups in %APPDATA%\Kelpra.
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    SetShellVarContext all
    CreateShortcut "$SMPROGRAMS\Kelpra.lnk" "$INSTDIR\Kelpra.exe" "" "$INSTDIR\Kelpra.exe" 0

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Kelpra"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The Kelpra developers"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Kelpra.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes exactly what the installer put there. A help folder, Kelpra.ini or
; backups of the user's, in %APPDATA%\Kelpra or beside the programs, stay.
Section "Uninstall"
    SetShellVarContext all
    Delete "$SMPROGRAMS\Kelpra.lnk"
    !include "${UNFILES}"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
