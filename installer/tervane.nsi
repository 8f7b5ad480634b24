; Tervane's Windows installer: tervane.exe and tervane-service.exe for the current user,
; without administrator rights. docs/windows-package.md describes what goes where.
; Built by installer/CMakeLists.txt: makensis -DVERSION=... -DTERVANE_EXE=... -DSERVICE_EXE=...
; -DOUTFILE=... [-DTARGET=amd64-unicode] tervane.nsi
Unicode true
; The installer is as wide as the programs it carries: 32-bit, or 64-bit for the 64-bit build.
!ifdef TARGET
  Target ${TARGET}
!endif

!ifndef VERSION | TERVANE_EXE | SERVICE_EXE | OUTFILE
  !error "Define VERSION, TERVANE_EXE, SERVICE_EXE and OUTFILE (see installer/CMakeLists.txt)"
!endif

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh
!include nsDialogs.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tervane"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Tervane Service"
!define KEY_FILE "api-key.txt"
!define SHORTCUT "$SMPROGRAMS\Tervane.lnk"

Name "Tervane"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Tervane"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
SetCompressor /SOLID lzma
BrandingText "Tervane ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "Tervane"
VIAddVersionKey "CompanyName" "Vellmark"
VIAddVersionKey "FileDescription" "Tervane Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright © Vellmark"

!define MUI_ICON "${__FILEDIR__}\..\app\res\tervane.ico"
!define MUI_UNICON "${__FILEDIR__}\..\app\res\tervane.ico"
!define MUI_ABORTWARNING

!include "${__FILEDIR__}\ServerChoice.nsh"
!include "${__FILEDIR__}\StopPrograms.nsh"

Page custom ServerPageShow ServerPageLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "&Start Tervane and its translation service now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartPrograms
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

Function .onInit
  SetShellVarContext current
  Call ReadServerOptions
FunctionEnd

; The service's command line as the Run value and the end of the installation start it.
Function ServiceCommand
  ${If} $Engine == "apy"
  ${OrIf} $Engine == "public"
    StrCpy $0 '"$INSTDIR\tervane-service.exe" --engine apy --apy-url "$ServerUrl"'
  ${ElseIf} $Engine == "tervane"
    StrCpy $0 '"$INSTDIR\tervane-service.exe" --engine tervane --tervane-url "$ServerUrl"'
    ${If} $ApiKey != ""
      StrCpy $0 '$0 --tervane-key-file "$INSTDIR\${KEY_FILE}"'
    ${EndIf}
  ${ElseIf} $ApiKey != ""
    StrCpy $0 '"$INSTDIR\tervane-service.exe" --engine libretranslate --libretranslate-url "$ServerUrl" --api-key-file "$INSTDIR\${KEY_FILE}"'
  ${Else}
    StrCpy $0 '"$INSTDIR\tervane-service.exe" --engine libretranslate --libretranslate-url "$ServerUrl"'
  ${EndIf}
FunctionEnd

Function StartPrograms
  Call ServiceCommand
  Exec $0
  Exec '"$INSTDIR\tervane.exe"'
FunctionEnd

Section "Tervane"
  SetOutPath "$INSTDIR"
  ; A copy already running keeps its files open: end it before replacing them.
  Call StopPrograms
  File "/oname=tervane.exe" "${TERVANE_EXE}"
  File "/oname=tervane-service.exe" "${SERVICE_EXE}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; The key stays out of the Run value, which any program of the user can read in the open.
  Delete "$INSTDIR\${KEY_FILE}"
  ${If} $ApiKey != ""
    ClearErrors
    FileOpen $1 "$INSTDIR\${KEY_FILE}" w
    FileWrite $1 $ApiKey
    FileClose $1
    ${If} ${Errors}
      Abort "Cannot write the API key to $INSTDIR\${KEY_FILE}"
    ${EndIf}
  ${EndIf}

  CreateShortcut "${SHORTCUT}" "$INSTDIR\tervane.exe" "" "$INSTDIR\tervane.exe" 0
  Call ServiceCommand
  WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" $0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Tervane"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tervane.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Vellmark"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $1 $2 $3
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $1

  ; Unattended installs have no finish page: they start both programs as its default does,
  ; unless /NOSTART asks them not to (an installation prepared for a later logon).
  ${If} ${Silent}
  ${AndIf} $StartNow == 1
    Call StartPrograms
  ${EndIf}
SectionEnd

Section "Uninstall"
  Call un.StopPrograms
  !insertmacro RemoveFile "$INSTDIR\tervane.exe"
  !insertmacro RemoveFile "$INSTDIR\tervane-service.exe"
  !insertmacro RemoveFile "$INSTDIR\${KEY_FILE}"
  !insertmacro RemoveFile "$INSTDIR\Uninstall.exe"
  !insertmacro RemoveFile "${SHORTCUT}"
  DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; Only when empty: whatever the user put there stays.
  RMDir "$INSTDIR"
  ${If} $RemoveFailed == 1
    MessageBox MB_ICONEXCLAMATION|MB_OK "Some of Tervane's files could not be removed; they are listed in the details. Close Tervane and run the uninstaller again." /SD IDOK
    SetErrorLevel 2
  ${EndIf}
SectionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd
