; The translation server the service is pointed at: the installer's page for it, the
; unattended options (/ENGINE= /URL= /APIKEY=) and the check of the server's address.

!define LIBRETRANSLATE_DEFAULT_URL "http://localhost:5000"
!define APY_DEFAULT_URL "http://localhost:2737"
; A Tervane service in the user's WSL, started there with --listen 127.0.0.1:58471 (this
; computer's own service has 58470).
!define TERVANE_DEFAULT_URL "http://localhost:58471"

Var Engine    ; "libretranslate", "apy" or "tervane", as the service's --engine takes it
Var ServerUrl
Var ApiKey    ; LibreTranslate and Tervane; empty when the server needs none
Var LibreRadio
Var ApyRadio
Var TervaneRadio
Var UrlBox
Var KeyLabel
Var KeyBox

; Stops an installation whose options cannot work: the reason goes to standard error when
; the caller gave one (a script's redirection), to a message box when someone is looking,
; and the exit code is 2.
Function FailOptions ; $0: the reason
  System::Call 'kernel32::GetStdHandle(i -12) p .r1'
  ${If} $1 != 0
  ${AndIf} $1 != -1
    FileWrite $1 "tervane-setup: $0$\r$\n"
  ${EndIf}
  MessageBox MB_ICONSTOP|MB_OK "$0" /SD IDOK
  SetErrorLevel 2
  Quit
FunctionEnd

; $0: the URL; $1: what is wrong with it, empty when nothing is. The service reaches
; http:// and https:// servers (the server's certificate checked against the system's
; roots), and the URL goes into the Run value's command line between quotation marks, so
; blanks and quotation marks cannot be in it.
Function CheckUrl
  StrCpy $1 ""
  StrCpy $2 $0 7
  StrCpy $3 $0 8
  ${If} $2 == "http://"
    StrCpy $4 $0 "" 7
  ${ElseIf} $3 == "https://"
    StrCpy $4 $0 "" 8
  ${Else}
    StrCpy $1 "The server URL must begin with http:// or https:// (it is $\"$0$\")."
    Return
  ${EndIf}
  StrCpy $5 $4 1
  ${If} $5 == ""
  ${OrIf} $5 == "/"
  ${OrIf} $5 == ":"
    StrCpy $1 "The server URL has no host name (it is $\"$0$\")."
    Return
  ${EndIf}
  StrCpy $6 0
  ${Do}
    StrCpy $5 $0 1 $6
    ${If} $5 == ""
      ${ExitDo}
    ${EndIf}
    ${If} $5 == " "
    ${OrIf} $5 == "$\t"
    ${OrIf} $5 == '"'
      StrCpy $1 "The server URL must not contain blanks or quotation marks (it is $\"$0$\")."
      Return
    ${EndIf}
    IntOp $6 $6 + 1
  ${Loop}
FunctionEnd

; The options fill the page's fields; an unattended install takes them as they are.
Function ReadServerOptions
  StrCpy $Engine "libretranslate"
  ${GetParameters} $R0
  ; GetOptions ends a value at the next occurrence of the option's first character. With
  ; " /URL=" that is a blank, not the slashes inside the URL; the leading blank added here
  ; lets the first option be found too.
  StrCpy $R0 " $R0"
  ClearErrors
  ${GetOptions} $R0 " /ENGINE=" $0
  ${IfNot} ${Errors}
    ${If} $0 == "libretranslate"
      StrCpy $Engine "libretranslate"
    ${ElseIf} $0 == "apy"
      StrCpy $Engine "apy"
    ${ElseIf} $0 == "tervane"
      StrCpy $Engine "tervane"
    ${Else}
      StrCpy $0 "Unknown engine $\"$0$\": use /ENGINE=libretranslate, /ENGINE=apy or /ENGINE=tervane."
      Call FailOptions
    ${EndIf}
  ${EndIf}
  ${If} $Engine == "apy"
    StrCpy $ServerUrl "${APY_DEFAULT_URL}"
  ${ElseIf} $Engine == "tervane"
    StrCpy $ServerUrl "${TERVANE_DEFAULT_URL}"
  ${Else}
    StrCpy $ServerUrl "${LIBRETRANSLATE_DEFAULT_URL}"
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 " /URL=" $0
  ${IfNot} ${Errors}
    StrCpy $ServerUrl $0
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 " /APIKEY=" $0
  ${IfNot} ${Errors}
    ${If} $Engine == "apy"
      StrCpy $0 "/APIKEY is for the LibreTranslate and Tervane engines; Apertium APy takes no key."
      Call FailOptions
    ${EndIf}
    StrCpy $ApiKey $0
  ${EndIf}
  ${If} ${Silent}
    StrCpy $0 $ServerUrl
    Call CheckUrl
    ${If} $1 != ""
      StrCpy $0 $1
      Call FailOptions
    ${EndIf}
  ${EndIf}
FunctionEnd

Function ServerPageShow
  !insertmacro MUI_HEADER_TEXT "Translation server" \
    "Choose the server that translates the text you select."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 26u \
    "Tervane's service passes the text you select to a translation server, on this computer or on another: a LibreTranslate server, an Apertium APy server, or a Tervane service on Linux (another computer, or WSL)."
  Pop $0
  ${NSD_CreateRadioButton} 0 30u 100% 12u "&LibreTranslate"
  Pop $LibreRadio
  ${NSD_AddStyle} $LibreRadio ${WS_GROUP}
  ${NSD_CreateRadioButton} 0 42u 100% 12u "&Apertium APy"
  Pop $ApyRadio
  ${NSD_CreateRadioButton} 0 54u 100% 12u "&Tervane service (another computer, or WSL)"
  Pop $TervaneRadio
  ${NSD_CreateLabel} 0 69u 100% 10u "Server &URL:"
  Pop $0
  ${NSD_CreateText} 0 80u 100% 12u $ServerUrl
  Pop $UrlBox
  ${NSD_CreateLabel} 0 97u 100% 10u "API &key (LibreTranslate, Tervane; leave it empty when the server asks for none):"
  Pop $KeyLabel
  ${NSD_CreateText} 0 108u 100% 12u $ApiKey
  Pop $KeyBox
  ${If} $Engine == "apy"
    ${NSD_Check} $ApyRadio
  ${ElseIf} $Engine == "tervane"
    ${NSD_Check} $TervaneRadio
  ${Else}
    ${NSD_Check} $LibreRadio
  ${EndIf}
  ${NSD_OnClick} $LibreRadio EngineClicked
  ${NSD_OnClick} $ApyRadio EngineClicked
  ${NSD_OnClick} $TervaneRadio EngineClicked
  Call ShowKeyField
  nsDialogs::Show
FunctionEnd

; The engine checked on the page, into $Engine.
Function CheckedEngine
  StrCpy $Engine "libretranslate"
  ${NSD_GetState} $ApyRadio $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $Engine "apy"
  ${EndIf}
  ${NSD_GetState} $TervaneRadio $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $Engine "tervane"
  ${EndIf}
FunctionEnd

; A URL still at one engine's default follows the engine chosen.
Function EngineClicked
  Pop $0
  Call CheckedEngine
  ${NSD_GetText} $UrlBox $1
  ${If} $1 == "${LIBRETRANSLATE_DEFAULT_URL}"
  ${OrIf} $1 == "${APY_DEFAULT_URL}"
  ${OrIf} $1 == "${TERVANE_DEFAULT_URL}"
    ${If} $Engine == "apy"
      ${NSD_SetText} $UrlBox "${APY_DEFAULT_URL}"
    ${ElseIf} $Engine == "tervane"
      ${NSD_SetText} $UrlBox "${TERVANE_DEFAULT_URL}"
    ${Else}
      ${NSD_SetText} $UrlBox "${LIBRETRANSLATE_DEFAULT_URL}"
    ${EndIf}
  ${EndIf}
  Call ShowKeyField
FunctionEnd

; APy takes no key.
Function ShowKeyField
  ${NSD_GetState} $ApyRadio $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $0 0
  ${Else}
    StrCpy $0 1
  ${EndIf}
  EnableWindow $KeyLabel $0
  EnableWindow $KeyBox $0
FunctionEnd

Function ServerPageLeave
  Call CheckedEngine
  ${NSD_GetText} $UrlBox $ServerUrl
  ${NSD_GetText} $KeyBox $ApiKey
  ${If} $Engine == "apy"
    StrCpy $ApiKey ""
  ${EndIf}
  StrCpy $0 $ServerUrl
  Call CheckUrl
  ${If} $1 != ""
    MessageBox MB_ICONEXCLAMATION|MB_OK "$1"
    Abort
  ${EndIf}
FunctionEnd
