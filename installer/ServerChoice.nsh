; The translation server the service is pointed at: the installer's page for it, the
; unattended options (/ENGINE= /URL= /APIKEY=) and the check of the server's address.

; Apertium's public APy server: translates at once after installing, with no server of the
; user's own and no account; the selected text goes over the internet to it.
!define PUBLIC_APY_URL "https://apertium.org/apy"
!define LIBRETRANSLATE_DEFAULT_URL "http://localhost:5000"
!define APY_DEFAULT_URL "http://localhost:2737"
; A Tervane service in the user's WSL, started there with --listen 127.0.0.1:58471 (this
; computer's own service has 58470).
!define TERVANE_DEFAULT_URL "http://localhost:58471"

Var Engine    ; "public", "libretranslate", "apy" or "tervane"; "public" is the service's
              ; --engine apy with Apertium's public server, the others as --engine takes them
Var ServerUrl
Var ApiKey    ; LibreTranslate and Tervane; empty when the server needs none
Var PublicRadio
Var LibreRadio
Var ApyRadio
Var TervaneRadio
Var UrlBox
Var KeyLabel
Var KeyBox
Var StartNow  ; 1 unless /NOSTART: an unattended install starts both programs at its end

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
  StrCpy $Engine "public"
  StrCpy $StartNow 1
  ${GetParameters} $R0
  ; GetOptions ends a value at the next occurrence of the option's first character. With
  ; " /URL=" that is a blank, not the slashes inside the URL; the leading blank added here
  ; lets the first option be found too.
  StrCpy $R0 " $R0"
  ClearErrors
  ${GetOptions} $R0 " /ENGINE=" $0
  ${IfNot} ${Errors}
    ${If} $0 == "public"
      StrCpy $Engine "public"
    ${ElseIf} $0 == "libretranslate"
      StrCpy $Engine "libretranslate"
    ${ElseIf} $0 == "apy"
      StrCpy $Engine "apy"
    ${ElseIf} $0 == "tervane"
      StrCpy $Engine "tervane"
    ${Else}
      StrCpy $0 "Unknown engine $\"$0$\": use /ENGINE=public, /ENGINE=libretranslate, /ENGINE=apy or /ENGINE=tervane."
      Call FailOptions
    ${EndIf}
  ${EndIf}
  Call DefaultUrl
  ClearErrors
  ${GetOptions} $R0 " /URL=" $0
  ${IfNot} ${Errors}
    ${If} $Engine == "public"
      StrCpy $0 "/URL is not for /ENGINE=public, whose server is ${PUBLIC_APY_URL}: use /ENGINE=apy /URL=... for another APy server."
      Call FailOptions
    ${EndIf}
    StrCpy $ServerUrl $0
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 " /NOSTART" $0
  ${IfNot} ${Errors}
    StrCpy $StartNow 0
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 " /APIKEY=" $0
  ${IfNot} ${Errors}
    ${If} $Engine == "apy"
    ${OrIf} $Engine == "public"
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

; $ServerUrl := the URL an engine starts with.
Function DefaultUrl
  ${If} $Engine == "public"
    StrCpy $ServerUrl "${PUBLIC_APY_URL}"
  ${ElseIf} $Engine == "apy"
    StrCpy $ServerUrl "${APY_DEFAULT_URL}"
  ${ElseIf} $Engine == "tervane"
    StrCpy $ServerUrl "${TERVANE_DEFAULT_URL}"
  ${Else}
    StrCpy $ServerUrl "${LIBRETRANSLATE_DEFAULT_URL}"
  ${EndIf}
FunctionEnd

Function ServerPageShow
  !insertmacro MUI_HEADER_TEXT "Translation server" \
    "Choose the server that translates the text you select."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 18u \
    "Tervane's service passes the text you select to a translation server. You can choose another later by running this installer again."
  Pop $0
  ${NSD_CreateRadioButton} 0 20u 100% 12u "Apertium's &public server (online, free, no account)"
  Pop $PublicRadio
  ${NSD_AddStyle} $PublicRadio ${WS_GROUP}
  ${NSD_CreateLabel} 12u 32u -12u 10u "The text you select is sent over the internet to Apertium's server at apertium.org."
  Pop $0
  ${NSD_CreateRadioButton} 0 44u 100% 12u "&LibreTranslate"
  Pop $LibreRadio
  ${NSD_CreateRadioButton} 0 56u 100% 12u "&Apertium APy"
  Pop $ApyRadio
  ${NSD_CreateRadioButton} 0 68u 100% 12u "&Tervane service (another computer, or WSL)"
  Pop $TervaneRadio
  ${NSD_CreateLabel} 0 83u 100% 10u "Server &URL:"
  Pop $0
  ${NSD_CreateText} 0 94u 100% 12u $ServerUrl
  Pop $UrlBox
  ${NSD_CreateLabel} 0 110u 100% 10u "API &key (LibreTranslate, Tervane; leave it empty when the server asks for none):"
  Pop $KeyLabel
  ${NSD_CreateText} 0 121u 100% 12u $ApiKey
  Pop $KeyBox
  ${If} $Engine == "public"
    ${NSD_Check} $PublicRadio
  ${ElseIf} $Engine == "apy"
    ${NSD_Check} $ApyRadio
  ${ElseIf} $Engine == "tervane"
    ${NSD_Check} $TervaneRadio
  ${Else}
    ${NSD_Check} $LibreRadio
  ${EndIf}
  ${NSD_OnClick} $PublicRadio EngineClicked
  ${NSD_OnClick} $LibreRadio EngineClicked
  ${NSD_OnClick} $ApyRadio EngineClicked
  ${NSD_OnClick} $TervaneRadio EngineClicked
  Call ShowKeyField
  nsDialogs::Show
FunctionEnd

; The engine checked on the page, into $Engine.
Function CheckedEngine
  StrCpy $Engine "libretranslate"
  ${NSD_GetState} $PublicRadio $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $Engine "public"
  ${EndIf}
  ${NSD_GetState} $ApyRadio $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $Engine "apy"
  ${EndIf}
  ${NSD_GetState} $TervaneRadio $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $Engine "tervane"
  ${EndIf}
FunctionEnd

; A URL still at one engine's default follows the engine chosen; the public server's is
; always its own.
Function EngineClicked
  Pop $0
  Call CheckedEngine
  ${NSD_GetText} $UrlBox $1
  ${If} $Engine == "public"
  ${OrIf} $1 == "${PUBLIC_APY_URL}"
  ${OrIf} $1 == "${LIBRETRANSLATE_DEFAULT_URL}"
  ${OrIf} $1 == "${APY_DEFAULT_URL}"
  ${OrIf} $1 == "${TERVANE_DEFAULT_URL}"
    Call DefaultUrl
    ${NSD_SetText} $UrlBox $ServerUrl
  ${EndIf}
  Call ShowKeyField
FunctionEnd

; APy takes no key; the public server's URL is fixed.
Function ShowKeyField
  StrCpy $0 1
  ${NSD_GetState} $ApyRadio $1
  ${NSD_GetState} $PublicRadio $2
  ${If} $1 == ${BST_CHECKED}
  ${OrIf} $2 == ${BST_CHECKED}
    StrCpy $0 0
  ${EndIf}
  EnableWindow $KeyLabel $0
  EnableWindow $KeyBox $0
  ${If} $2 == ${BST_CHECKED}
    EnableWindow $UrlBox 0
  ${Else}
    EnableWindow $UrlBox 1
  ${EndIf}
FunctionEnd

Function ServerPageLeave
  Call CheckedEngine
  ${NSD_GetText} $UrlBox $ServerUrl
  ${NSD_GetText} $KeyBox $ApiKey
  ${If} $Engine == "apy"
  ${OrIf} $Engine == "public"
    StrCpy $ApiKey ""
  ${EndIf}
  StrCpy $0 $ServerUrl
  Call CheckUrl
  ${If} $1 != ""
    MessageBox MB_ICONEXCLAMATION|MB_OK "$1"
    Abort
  ${EndIf}
FunctionEnd
