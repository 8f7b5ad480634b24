; Ending the running programs before their files are replaced or removed, and removing a
; file that a program may still hold for a moment.

!define TERVANE_WINDOW_CLASS "TervaneMainWindow" ; app/MainWindow_win.cpp
!define SYNCHRONIZE 0x00100000

Var RemoveFailed

; The service ends on its own --stop; tervane.exe ends as when its user closes it (WM_CLOSE
; to the main window, which saves the settings first). Each is waited for, briefly.
!macro StopProgramsFunction prefix
  Function ${prefix}StopPrograms
    ${If} ${FileExists} "$INSTDIR\tervane-service.exe"
      nsExec::Exec '"$INSTDIR\tervane-service.exe" --stop'
      Pop $R0
    ${EndIf}
    ; One window per running copy; a copy that does not close (a question open) is left.
    ${For} $R3 1 5
      FindWindow $R0 "${TERVANE_WINDOW_CLASS}"
      ${If} $R0 == 0
        ${Break}
      ${EndIf}
      System::Call 'user32::GetWindowThreadProcessId(p R0, *i .R1)'
      System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i R1) p .R2'
      SendMessage $R0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
      ${If} $R2 != 0
        System::Call 'kernel32::WaitForSingleObject(p R2, i 5000)'
        System::Call 'kernel32::CloseHandle(p R2)'
      ${EndIf}
    ${Next}
  FunctionEnd
!macroend
!insertmacro StopProgramsFunction ""
!insertmacro StopProgramsFunction "un."

; Deletes a file, retrying for up to ten seconds while a program that is ending still
; holds it (a slow machine can take seconds to end a process after its last window or
; event is gone); a file that stays is reported and counted in $RemoveFailed.
!macro RemoveFile path
  ${For} $R0 1 100
    Delete "${path}"
    ${IfNot} ${FileExists} "${path}"
      ${Break}
    ${EndIf}
    Sleep 100
  ${Next}
  ${If} ${FileExists} "${path}"
    DetailPrint "Cannot remove ${path}"
    StrCpy $RemoveFailed 1
  ${EndIf}
!macroend
