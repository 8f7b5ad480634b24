#include "base/MessageBox_win.h"

#include "base/AppIdentity.h"
#include "base/ErrorReport.h"
#include "base/WideText_win.h"

namespace tervane {

namespace {
MessageBoxHook& Hook() {
    static MessageBoxHook hook;
    return hook;
}
} // namespace

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) {
    MessageBoxHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) {
    // A modal box takes the keyboard focus; the control that had it gets it back.
    HWND focus = GetFocus();
    const int answer = Hook()
                           ? Hook()(MessageBoxRequest{owner, text, caption, type})
                           : MessageBoxW(owner, Widen(text).c_str(), Widen(caption).c_str(), type);
    if (focus && IsWindow(focus) && IsWindowVisible(focus))
        SetFocus(focus);
    return answer;
}

void ShowWarningBox(HWND owner, const std::string& text) {
    ShowMessageBox(owner, text, "Warning", MB_OK | MB_ICONWARNING);
}

void ShowPlainBox(HWND owner, const std::string& text) {
    ShowMessageBox(owner, text, kApplicationTitle, MB_OK);
}

void ShowErrorReport(HWND owner, const std::string& message) {
    ShowMessageBox(owner, ErrorReportText(message), kApplicationTitle, MB_OK | MB_ICONERROR);
}

} // namespace tervane
