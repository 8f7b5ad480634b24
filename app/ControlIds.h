#pragma once
// Identifiers of the main window's controls and of its private messages.
#include <windows.h>

namespace tervane {

enum class ControlId : int {
    HotKeyGroup = 1000,
    HotKeyEntry,
    AddButton,
    HotKeysInUseGroup,
    HotKeyList,
    RemoveButton,
    ClearButton,
    LanguageGroup,
    SourcePicker,
    TargetPicker,
    CompactButton,
    TransparencyGroup,
    TransparencySlider,
    OptionsGroup,
    FreezeBox,
    CopyToClipboardBox,
    LogToFileBox,
    ViewLogButton,
    SelectTextLabel,
    PressHotKeyLabel,
    CopyrightLabel,
    AboutButton,
    MinimizeButton,
    ExitButton,
    // Added after the designed controls, so that their identifiers stay.
    HotKeyActionPicker,
    HotKeyActionLabel,
    // The notification-area icon's menu.
    TrayShowCommand,
    TrayExitCommand,
};

// Sent by the "Language" group to the main window when the group itself was clicked.
inline constexpr UINT kSwapLanguagesMessage = WM_APP + 1;
// Posted by a worker thread to the main window: a piece of background work has ended and
// its finish waits to run on the UI thread (UiWorker_win.h).
inline constexpr UINT kWorkDoneMessage = WM_APP + 2;

} // namespace tervane
