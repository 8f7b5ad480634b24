#include "translate/SelectionReplace_win.h"

#include "base/BaseWindow_win.h"
#include "base/WideText_win.h"
#include "translate/Clipboard_win.h"
#include "translate/Keystroke_win.h"
#include "translate/ReplaceWays.h"

#include <stdexcept>
#include <string>

namespace tervane {

namespace {

constexpr UINT kReplaceMessageBoundMs = 1000;
constexpr DWORD kKeysReleaseBoundMs = 1000;

// The clipboard's owner while a paste borrows it: it offers the translation as Unicode text
// and renders it only when the application asks (WM_RENDERFORMAT), which tells when the
// paste has taken it. A message-only window: never shown, never in front.
class PasteSource final : public BaseWindow<PasteSource> {
  public:
    explicit PasteSource(std::string text) : text_(std::move(text)) {
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        RegisterClassOnce(instance, {L"TervanePasteSource"});
        if (!CreateWindowExW(0, L"TervanePasteSource", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             instance, this))
            throw std::runtime_error("Cannot create the paste's clipboard window");
    }
    ~PasteSource() {
        if (hwnd_)
            DestroyWindow(hwnd_);
    }
    PasteSource(const PasteSource&) = delete;
    PasteSource& operator=(const PasteSource&) = delete;

    // Empties the clipboard and offers the text, to be rendered when asked.
    void Offer() {
        ClipboardSession session(hwnd_);
        EmptyClipboard();
        SetClipboardData(CF_UNICODETEXT, nullptr);
    }
    bool Taken() const { return taken_; }

    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_RENDERFORMAT && wp == CF_UNICODETEXT) {
            // The clipboard is open for the application that asked.
            if (HGLOBAL block = UnicodeTextBlock(text_)) {
                if (!SetClipboardData(CF_UNICODETEXT, block))
                    GlobalFree(block);
            }
            taken_ = true;
            return 0;
        }
        // WM_RENDERALLFORMATS (the window goes while it owns the clipboard) renders nothing:
        // the translation is not to stay on the user's clipboard.
        return DefWindowProcW(hwnd_, msg, wp, lp);
    }

  private:
    std::string text_;
    bool taken_ = false;
};

std::string ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return Narrow(name);
}

void ReplaceByMessage(HWND focus, std::string_view text) {
    const std::wstring wide = Widen(text);
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(focus, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(wide.c_str()),
                             SMTO_ABORTIFHUNG, kReplaceMessageBoundMs, &result))
        throw std::runtime_error(
            "The application did not take the text: no answer within a second");
}

void Trace(const wchar_t* line) {
    OutputDebugStringW(line);
}

bool ReplaceByPaste(CapturedSelection& capture, std::string_view text) {
    PasteSource source{std::string(text)};
    source.Offer();
    // The keystroke goes to the foreground window's focus: the selection's control again,
    // whatever took the front meanwhile (the input is still attached, so it may be given).
    SetForegroundWindow(GetAncestor(capture.focus, GA_ROOT));
    SetFocus(capture.focus);
    if (WaitForModifiersLetGo(GetTickCount64(), kKeysReleaseBoundMs)) {
        SendCtrlKeystroke('V', false, "paste");
        const ULONGLONG sentAt = GetTickCount64();
        WaitAnsweringSentMessages(
            [&] {
                // Taken: the application may still hold the clipboard open while it reads.
                return PasteOver(source.Taken() && !GetOpenClipboardWindow(),
                                 GetTickCount64() - sentAt);
            },
            static_cast<DWORD>(kPasteBoundMs));
        Trace(source.Taken() ? L"Tervane replace: the paste took the text\n"
                             : L"Tervane replace: no paste within the bound\n");
    } else {
        Trace(L"Tervane replace: keystroke not sent, the hotkey's keys are held\n");
    }
    // While the paste window still owns the clipboard, so that it renders nothing more.
    capture.savedClipboard.Restore();
    return source.Taken();
}

} // namespace

bool ReplaceSelectedText(CapturedSelection& capture, std::string_view text) {
    HWND focus = capture.focus;
    const bool readOnly = (GetWindowLongPtrW(focus, GWL_STYLE) & ES_READONLY) != 0;
    if (ChooseReplaceWay(ClassOf(focus), readOnly) == ReplaceWay::PasteKeystroke)
        return ReplaceByPaste(capture, text);
    ReplaceByMessage(focus, text);
    return true;
}

} // namespace tervane
