; The Windows installer and uninstaller of the program.
;
; makensis -DBUILD_DIR=<windows build tree> -DSOURCE_DIR=<source tree> -DOUT_FILE=<setup.exe> nimbral.nsi
; (the build's target "installer"; it writes the two lists of sample plugins the script includes)
;
; The uninstaller removes exactly what the installer put down, file by file: a plugin the user added
; to the program's folder stays, and with it the folder. The user's settings stay unless the user
; ticks the box that removes them; a silent uninstall keeps them unless given /RemoveSettings.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include "FileFunc.nsh"
!include "Sections.nsh"

!define PRODUCT "Nimbral Windows Cleaner"
!define VERSION "2.2"
!define PUBLISHER "Ardent Lume"
!define EXE "nimbral.exe"
; Where the program keeps its uninstall entry, its start-up entry and its settings.
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\VB and VBA Program Settings\${PRODUCT}"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"

Name "${PRODUCT}"
Caption "${PRODUCT} ${VERSION} Setup"
UninstallCaption "${PRODUCT} ${VERSION} Uninstall"
OutFile "${OUT_FILE}"
InstallDir "$PROGRAMFILES64\Nimbral"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
Icon "${SOURCE_DIR}/src/app/art/nimbral.ico"
UninstallIcon "${SOURCE_DIR}/src/app/art/nimbral.ico"
BrandingText "${PUBLISHER}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "2.2.0.0"
VIFileVersion "2.2.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "2.2.0.0"
VIAddVersionKey /LANG=1033 "ProductVersion" "2.2.0.0"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "Comments" "www.nimbral.example"

Page directory
Page instfiles
UninstPage components
UninstPage instfiles

; The program is 64-bit: it reads the machine's keys in their 64-bit view, so they are written there.
Function .onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Section "${PRODUCT}" SecProgram
    SectionIn RO
    SetOutPath "$INSTDIR"
    File "${BUILD_DIR}/src/${EXE}"
    File "${BUILD_DIR}/src/corvelHistoryDeleter.dll"
    File "${SOURCE_DIR}/src/app/Help.rtf"
    SetOutPath "$INSTDIR\plugins"
    !include "${BUILD_DIR}/installer/plugin-files.nsh"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "${SHORTCUT}" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0

    ; The entry as the program itself writes it, then what lists of installed programs show.
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "un.${PRODUCT}" SecUninstallProgram
    SectionIn RO
    Delete "$INSTDIR\${EXE}"
    Delete "$INSTDIR\corvelHistoryDeleter.dll"
    Delete "$INSTDIR\Help.rtf"
    ; Only the sample plugins this installer brought; the folder goes only when nothing else is in it.
    !include "${BUILD_DIR}/installer/plugin-deletes.nsh"
    RMDir "$INSTDIR\plugins"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "${SHORTCUT}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    ; The start-up entry exists only when the user asked the program for one.
    DeleteRegValue HKLM "${RUN_KEY}" "${PRODUCT}"
SectionEnd

Section /o "un.Remove my settings" SecUninstallSettings
    DeleteRegKey HKCU "${SETTINGS_KEY}"
SectionEnd

; "/RemoveSettings" ticks the settings box, for an uninstall without the page (with /S).
Function un.onInit
    SetRegView 64
    SetShellVarContext all
    ${un.GetParameters} $R0
    ClearErrors
    ${un.GetOptions} $R0 "/RemoveSettings" $R1
    IfErrors +2
    SectionSetFlags ${SecUninstallSettings} ${SF_SELECTED}
FunctionEnd
