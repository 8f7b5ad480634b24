#include "app/MessageBox_win.h"

#include "app/AppIdentity.h"
#include "app/ErrorReport.h"
#include "app/WideText_win.h"

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
    if (Hook()) return Hook()(MessageBoxRequest{owner, text, caption, type});
    return MessageBoxW(owner, Widen(text).c_str(), Widen(caption).c_str(), type);
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
