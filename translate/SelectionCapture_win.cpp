#include "translate/SelectionCapture_win.h"

#include "base/WideText_win.h"
#include "translate/Clipboard_win.h"
#include "translate/SelectionCaptureAutomation_win.h"
#include "translate/SelectionCaptureBrowser_win.h"
#include "translate/SelectionCaptureKeystroke_win.h"

#include <stdexcept>
#include <vector>

namespace tervane {

namespace {

constexpr UINT kCopyMessageBoundMs = 1000;

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

// The copy command, bounded: a hung application must not hold the program's only thread.
std::string CopyByMessage(HWND focus, HWND opener) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(focus, WM_COPY, 0, 0, SMTO_ABORTIFHUNG, kCopyMessageBoundMs, &result))
        throw std::runtime_error("no answer within a second");
    return ReadClipboardText(opener);
}

void Trace(const CaptureOutcome& outcome, ULONGLONG startedAt) {
    const ULONGLONG ms = GetTickCount64() - startedAt;
    std::string lines = DescribeFailures(outcome);
    lines += std::string("captured by ") + CaptureWayName(outcome.way) + " in " +
             std::to_string(ms) + " ms\n";
    size_t start = 0;
    while (start < lines.size()) {
        const size_t end = lines.find('\n', start);
        OutputDebugStringW(
            Widen("Tervane capture: " + lines.substr(start, end - start + 1)).c_str());
        start = end + 1;
    }
}

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

    HWND focus = capture.focus = GetFocus();
    if (focus) {
        const ULONGLONG startedAt = GetTickCount64();
        const CaptureOutcome outcome = RunCaptureWays({
            {CaptureWay::CopyMessage, [&] { return CopyByMessage(focus, opener); }},
            {CaptureWay::Browser, ReadBrowserSelection},
            {CaptureWay::UiAutomation, ReadAutomationSelection},
            {CaptureWay::CopyKeystroke, [&] { return CopyByKeystroke(opener, startedAt); }},
        });
        Trace(outcome, startedAt);
        capture.way = outcome.way;
        capture.capturedText = outcome.text;
        if (outcome.way == CaptureWay::CopyMessage || outcome.way == CaptureWay::CopyKeystroke)
            capture.clipboardText = outcome.text;
    }
    guard.Release();
    return capture;
}

void DetachInput(const CapturedSelection& capture) {
    if (capture.attached)
        AttachThreadInput(GetCurrentThreadId(), capture.foregroundThread, FALSE);
}

} // namespace tervane
