; Velmaro's Windows setup: per machine into Program Files, a Start-menu shortcut, an uninstaller
; registered with Windows. Silent with /S; run over an installed copy it replaces that copy.
; makensis -DVERSION=1.0.7 -DSTAGE=<installed tree> -DICON=<velmaro.ico> -DOUTFILE=<setup.exe> velmaro.nsi
; A 64-bit setup for 64-bit programs: it needs no 32-bit layer (WoW64, or wine32 under Wine).
Target amd64-unicode
!include "MUI2.nsh"

!define NAME "Velmaro"
!define PUBLISHER "Velmaro"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmaro"

Name "${NAME} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${NAME}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1031 "ProductName" "${NAME}"
VIAddVersionKey /LANG=1031 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1031 "FileDescription" "${NAME} Setup"
VIAddVersionKey /LANG=1031 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1031 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1031 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\Velmaro.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "German"
LangString ProgramRunning ${LANG_GERMAN} "Velmaro läuft noch. Bitte schließen Sie Velmaro und klicken Sie auf Wiederholen."

; A running Velmaro holds its program file, and Windows will neither replace nor delete it. Wait a
; few seconds for a copy that is just closing; then ask (or, when silent, stop with an error) rather
; than leave a half-removed folder behind.
!macro WAIT_FOR_CLOSED_PROGRAM UN
Function ${UN}WaitForClosedProgram
    StrCpy $1 0
    ${Do}
        ${IfNot} ${FileExists} "$INSTDIR\Velmaro.exe"
            Return
        ${EndIf}
        ClearErrors
        FileOpen $2 "$INSTDIR\Velmaro.exe" a
        ${IfNot} ${Errors}
            FileClose $2
            Return
        ${EndIf}
        IntOp $1 $1 + 1
        ${If} $1 >= 20
            MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(ProgramRunning)" /SD IDCANCEL IDRETRY +3
            SetErrorLevel 2
            Quit
            StrCpy $1 0
        ${EndIf}
        Sleep 500
    ${Loop}
FunctionEnd
!macroend
!insertmacro WAIT_FOR_CLOSED_PROGRAM ""
!insertmacro WAIT_FOR_CLOSED_PROGRAM "un."

Function .onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Function un.onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Section "Velmaro" SecMain
    SectionIn RO
    Call WaitForClosedProgram
    ; An installed copy is removed first, so that files an older version had do not stay behind.
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
    ${AndIf} ${FileExists} "$0\Uninstall.exe"
        ExecWait '"$0\Uninstall.exe" /S _?=$0'
        Delete "$0\Uninstall.exe"
        RMDir "$0"
    ${EndIf}

    SetOutPath "$INSTDIR"
    File "${STAGE}/Velmaro.exe"
    File "${STAGE}/velmaro-list.exe"
    SetOutPath "$INSTDIR\Hilfe"
    File /r "${STAGE}/Hilfe/*.*"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Velmaro.lnk" "$INSTDIR\Velmaro.exe" "" "$INSTDIR\Velmaro.exe" 0

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Velmaro.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "https://www.velmaro.example"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    Call un.WaitForClosedProgram
    Delete "$SMPROGRAMS\Velmaro.lnk"
    Delete "$INSTDIR\Velmaro.exe"
    Delete "$INSTDIR\velmaro-list.exe"
    RMDir /r "$INSTDIR\Hilfe"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
