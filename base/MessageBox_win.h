#pragma once
// Every message box of the program goes through ShowMessageBox, so that a test can see
// which box would come up (caption, text, icon, buttons) and answer it without a person.
#include <windows.h>

#include <functional>
#include <string>

namespace tervane {

struct MessageBoxRequest {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type; // MB_ flags: icon and buttons
};

// Answers a box instead of showing it; returns the button the "user" chose (IDOK, ...).
using MessageBoxHook = std::function<int(const MessageBoxRequest&)>;

// Installs the hook (an empty one restores the real boxes); returns the previous one.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);

int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type);

// Caption "Warning", warning symbol, one OK button.
void ShowWarningBox(HWND owner, const std::string& text);
// The application title as caption, one OK button.
void ShowPlainBox(HWND owner, const std::string& text);
// The general error report: error symbol, application title, the full-stop rule.
void ShowErrorReport(HWND owner, const std::string& message);

} // namespace tervane
