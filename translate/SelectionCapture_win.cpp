#include "translate/SelectionCapture_win.h"

#include "translate/Clipboard_win.h"
#include "translate/SelectionCaptureBrowser_win.h"

namespace {

// Undoes the attachment when the capture ends by an error, since the caller then never
// learns of it.
class AttachmentGuard {
  public:
    explicit AttachmentGuard(const CapturedSelection& capture) : capture_(capture) {}
    ~AttachmentGuard() {
        if (!released_)
            DetachInput(capture_);
    }
    AttachmentGuard(const AttachmentGuard&) = delete;
    AttachmentGuard& operator=(const AttachmentGuard&) = delete;
    void Release() { released_ = true; }

  private:
    const CapturedSelection& capture_;
    bool released_ = false;
};

} // namespace

CapturedSelection CaptureSelectedText(HWND opener) {
    CapturedSelection capture;
    {
        ClipboardSession session(opener);
        capture.savedClipboard = ClipboardSnapshot::TakeFromOpenClipboard(opener);
        EmptyClipboard();
    }

    HWND foreground = GetForegroundWindow();
    capture.foregroundThread = GetWindowThreadProcessId(foreground, nullptr);
    if (!AttachThreadInput(GetCurrentThreadId(), capture.foregroundThread, TRUE))
        return capture;
    capture.attached = true;
    AttachmentGuard guard(capture);

    HWND focus = GetFocus();
    if (focus) {
        SendMessageW(focus, WM_COPY, 0, 0);
        capture.clipboardText = ReadClipboardText(opener);
        capture.capturedText =
            capture.clipboardText.empty() ? ReadBrowserSelection() : capture.clipboardText;
    }
    guard.Release();
    return capture;
}

void DetachInput(const CapturedSelection& capture) {
    if (capture.attached)
        AttachThreadInput(GetCurrentThreadId(), capture.foregroundThread, FALSE);
}
