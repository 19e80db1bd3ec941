; The Windows installer and uninstaller of the program.
;
; makensis -DBUILD_DIR=<windows build tree> -DSOURCE_DIR=<source tree> -DOUT_FILE=<setup.exe> nimbral.nsi
; (the build's target "installer"; it writes the two lists of sample plugins the script includes)
;
; The uninstaller removes exactly what the installer put down, file by file: a plugin the user added
; to the program's folder stays, and with it the folder, and so does a sample plugin the user changed.
; The user's settings stay unless the user ticks the box that removes them; a silent uninstall keeps
; them unless given /RemoveSettings.
;
; One copy of the program is installed at a time: installing into another folder first uninstalls
; the copy the uninstall entry names (keeping the settings). Reinstalling over a sample plugin the
; user changed keeps theirs and puts ours beside it as NAME.new.
;
; The folder: /D=FOLDER as the last argument, unquoted, as every installer of this kind reads it, or
; "/D=FOLDER" quoted anywhere, as a shortcut or cmd.exe passes a folder with blanks.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"
!include "WordFunc.nsh"

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
    ; The installer itself reads /D= only unquoted and last; a quoted "/D=..." is read here.
    ${GetParameters} $R0
    ClearErrors
    ${WordFind} $R0 '"/D=' "E+1}" $R1
    ${IfNot} ${Errors}
        ${WordFind} $R1 '"' "E+1{" $R2
        ${IfNot} ${Errors}
        ${AndIf} $R2 != ""
            StrCpy $INSTDIR $R2
        ${EndIf}
    ${EndIf}
FunctionEnd

; "1" when the two files on the stack hold the same bytes; "0" when they differ or one cannot be read.
!macro DefineSameFiles PREFIX
Function ${PREFIX}SameFiles
    Exch $1
    Exch
    Exch $0
    Push $2
    Push $3
    Push $4
    Push $5
    Push $6
    StrCpy $6 0
    ClearErrors
    FileOpen $2 $0 r
    IfErrors done
    FileOpen $3 $1 r
    IfErrors close_first
    loop:
        ClearErrors
        FileReadByte $2 $4
        IfErrors first_ended
        FileReadByte $3 $5
        IfErrors close_second
        StrCmp $4 $5 loop close_second
    first_ended:
        ClearErrors
        FileReadByte $3 $5
        IfErrors 0 close_second
        StrCpy $6 1
    close_second:
        FileClose $3
    close_first:
        FileClose $2
    done:
    StrCpy $0 $6
    Pop $6
    Pop $5
    Pop $4
    Pop $3
    Pop $2
    Pop $1
    Exch $0
FunctionEnd
!macroend
!insertmacro DefineSameFiles ""
!insertmacro DefineSameFiles "un."

; A sample plugin. Ours replaces the one there when that one is ours, this version's or the one an
; earlier install put down (kept in "shipped" to tell them apart); one the user changed stays, and
; ours goes beside it as NAME.new.
!macro InstallSample NAME SOURCE
    File "/oname=$PLUGINSDIR\sample" "${SOURCE}"
    StrCpy $R1 1
    ${If} ${FileExists} "$INSTDIR\plugins\${NAME}"
        Push "$INSTDIR\plugins\${NAME}"
        Push "$PLUGINSDIR\sample"
        Call SameFiles
        Pop $R1
        ${If} $R1 != 1
        ${AndIf} ${FileExists} "$INSTDIR\shipped\${NAME}"
            Push "$INSTDIR\plugins\${NAME}"
            Push "$INSTDIR\shipped\${NAME}"
            Call SameFiles
            Pop $R1
        ${EndIf}
    ${EndIf}
    ${If} $R1 == 1
        File "/oname=$INSTDIR\plugins\${NAME}" "${SOURCE}"
        Delete "$INSTDIR\plugins\${NAME}.new"
    ${Else}
        DetailPrint "Kept your changed ${NAME}; ours is ${NAME}.new beside it"
        File "/oname=$INSTDIR\plugins\${NAME}.new" "${SOURCE}"
    ${EndIf}
    File "/oname=$INSTDIR\shipped\${NAME}" "${SOURCE}"
!macroend

; Ours goes; a sample the user changed stays, as a plugin of theirs.
!macro RemoveSample NAME
    ${If} ${FileExists} "$INSTDIR\shipped\${NAME}"
        Push "$INSTDIR\plugins\${NAME}"
        Push "$INSTDIR\shipped\${NAME}"
        Call un.SameFiles
        Pop $R1
        ${If} $R1 == 1
            Delete "$INSTDIR\plugins\${NAME}"
        ${EndIf}
        Delete "$INSTDIR\plugins\${NAME}.new"
        Delete "$INSTDIR\shipped\${NAME}"
    ${Else}
        Delete "$INSTDIR\plugins\${NAME}"
    ${EndIf}
!macroend

Section "${PRODUCT}" SecProgram
    SectionIn RO
    ; One copy at a time: one in another folder is uninstalled first, the settings kept, so that the
    ; one uninstall entry and the one shortcut always belong to the copy there is.
    ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $R0 != ""
    ${AndIf} $R0 != $INSTDIR
    ${AndIf} ${FileExists} "$R0\uninstall.exe"
        DetailPrint "Removing the copy in $R0"
        ExecWait '"$R0\uninstall.exe" /S _?=$R0'
        Delete "$R0\uninstall.exe"
        RMDir "$R0"
    ${EndIf}

    SetOutPath "$INSTDIR"
    File "${BUILD_DIR}/src/${EXE}"
    File "${BUILD_DIR}/src/RunAtStartupTool.exe"
    File "${BUILD_DIR}/src/corvelHistoryDeleter.dll"
    File "${SOURCE_DIR}/src/app/Help.rtf"
    InitPluginsDir
    CreateDirectory "$INSTDIR\plugins"
    CreateDirectory "$INSTDIR\shipped"
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
    Delete "$INSTDIR\RunAtStartupTool.exe"
    Delete "$INSTDIR\corvelHistoryDeleter.dll"
    Delete "$INSTDIR\Help.rtf"
    ; Only the sample plugins this installer brought; the folder goes only when nothing else is in it.
    !include "${BUILD_DIR}/installer/plugin-deletes.nsh"
    RMDir "$INSTDIR\shipped"
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
