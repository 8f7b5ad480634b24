// Selection capture against Wine's real clipboard, input attachment and EDIT controls. The
// "other application" is a second thread of the test with its own EDIT window in the
// foreground, since a thread cannot attach its input to itself.
#include "translate/Clipboard_win.h"
#include "translate/SelectionCapture_win.h"

#include "WineTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// Popups rather than framed windows: Wine waits up to two seconds for a framed window to
// be withdrawn when there is no window manager.
constexpr DWORD kPopup = WS_POPUP | WS_BORDER | WS_VISIBLE;

// A thread with a top-level EDIT window holding `text` with the characters from `start` to
// `end` selected, focused and in the foreground; it handles messages until destroyed.
class ForeignEdit {
  public:
    ForeignEdit(const std::string& text, int start, int end) {
        HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        thread_ = std::thread([&, ready] {
            threadId_ = GetCurrentThreadId();
            edit_ = CreateWindowExW(0, L"EDIT", Widen(text).c_str(), kPopup, 100, 100, 400, 30,
                                    nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
            SendMessageW(edit_, EM_SETSEL, start, end);
            SetForegroundWindow(edit_);
            SetFocus(edit_);
            SetEvent(ready);
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0)
                DispatchMessageW(&msg);
            DestroyWindow(edit_);
        });
        WaitForSingleObject(ready, INFINITE);
        CloseHandle(ready);
        PumpUntil(nullptr, [&] { return GetForegroundWindow() == edit_; });
    }
    ~ForeignEdit() {
        PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
        thread_.join();
    }
    HWND Handle() const { return edit_; }
    DWORD ThreadId() const { return threadId_; }

  private:
    std::thread thread_;
    HWND edit_ = nullptr;
    DWORD threadId_ = 0;
};

// Another program holding the clipboard open until it is destroyed.
class ClipboardHolder {
  public:
    ClipboardHolder() {
        HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        release_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        thread_ = std::thread([this, opened] {
            // A program opens the clipboard for a window of its own.
            HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                          GetModuleHandleW(nullptr), nullptr);
            held_ = OpenClipboard(window) != FALSE;
            SetEvent(opened);
            WaitForSingleObject(release_, INFINITE);
            if (held_)
                CloseClipboard();
            DestroyWindow(window);
        });
        WaitForSingleObject(opened, INFINITE);
        CloseHandle(opened);
    }
    ~ClipboardHolder() {
        SetEvent(release_);
        thread_.join();
        CloseHandle(release_);
    }
    bool Held() const { return held_; }

  private:
    std::thread thread_;
    HANDLE release_ = nullptr;
    bool held_ = false;
};

const UINT kCustomFormat = RegisterClipboardFormatW(L"Tervane test format");
const Bytes kCustomBytes{0x01, 0x00, 0xFF, 0x7F, 0x80, 0x02};

HGLOBAL Global(const void* data, size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(memory), data, size);
    GlobalUnlock(memory);
    return memory;
}

// What a user had copied: a text and data in a format of some other program's own.
void PutUserContents(const std::wstring& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, Global(text.c_str(), (text.size() + 1) * sizeof(wchar_t)));
    SetClipboardData(kCustomFormat, Global(kCustomBytes.data(), kCustomBytes.size()));
    CloseClipboard();
}

Bytes FormatBytes(UINT format) {
    Bytes bytes;
    if (!OpenClipboard(nullptr))
        return bytes;
    if (HANDLE data = GetClipboardData(format)) {
        const auto* from = static_cast<const unsigned char*>(GlobalLock(data));
        bytes.assign(from, from + GlobalSize(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return bytes;
}

int FormatCount() {
    if (!OpenClipboard(nullptr))
        return -1;
    const int count = CountClipboardFormats();
    CloseClipboard();
    return count;
}

TEST(SelectionCapture, TakesTheSelectionOfTheFocusedEditInAnyScript) {
    for (const std::string text : {"Bonjour le monde", "Привет, мир", "Καλημέρα 你好 мир"}) {
        SCOPED_TRACE(text);
        // The first word (in UTF-16 units, as the control counts).
        const std::wstring wide = Widen(text);
        const int end = static_cast<int>(wide.find_first_of(L", "));
        const std::string word = Narrow(wide.substr(0, static_cast<size_t>(end)));
        ForeignEdit edit(text, 0, end);
        ASSERT_EQ(GetForegroundWindow(), edit.Handle());

        CapturedSelection capture = CaptureSelectedText();
        EXPECT_TRUE(capture.attached);
        EXPECT_EQ(capture.foregroundThread, edit.ThreadId());
        EXPECT_EQ(capture.clipboardText, word);
        EXPECT_EQ(capture.capturedText, word);
        // The selection stays on the clipboard until the flow decides.
        EXPECT_EQ(ReadClipboardText(), word);
        DetachInput(capture);
        capture.savedClipboard.Discard();
    }
}

TEST(SelectionCapture, NothingSelectedOrOwnWindowInFrontGivesEmptyTexts) {
    PutUserContents(L"old text");
    {
        ForeignEdit edit("nothing selected here", 3, 3);
        CapturedSelection capture = CaptureSelectedText();
        EXPECT_TRUE(capture.attached);
        EXPECT_EQ(capture.clipboardText, "");
        EXPECT_EQ(capture.capturedText, "");
        // The old text was emptied away first, so it is not mistaken for a selection.
        EXPECT_EQ(FormatCount(), 0);
        DetachInput(capture);
        capture.savedClipboard.Discard();
    }

    HWND own = CreateWindowExW(0, L"EDIT", L"own", kPopup, 100, 100, 200, 30, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    SendMessageW(own, EM_SETSEL, 0, -1);
    SetForegroundWindow(own);
    SetFocus(own);
    ASSERT_TRUE(PumpUntil(nullptr, [&] { return GetForegroundWindow() == own; }));
    CapturedSelection capture = CaptureSelectedText();
    EXPECT_FALSE(capture.attached);
    EXPECT_EQ(capture.capturedText, "");
    DestroyWindow(own);
}

TEST(SelectionCapture, PutsTheUsersClipboardBackUnlessTheTranslationTookItsPlace) {
    const std::wstring userText = L"what the user copied: ñ Ж";
    const Bytes userTextBytes = [&] {
        Bytes b(reinterpret_cast<const unsigned char*>(userText.c_str()),
                reinterpret_cast<const unsigned char*>(userText.c_str() + userText.size() + 1));
        return b;
    }();
    ForeignEdit edit("Guten Tag", 0, 5);

    // The flow's end: put back explicitly.
    PutUserContents(userText);
    {
        CapturedSelection capture = CaptureSelectedText();
        ASSERT_EQ(capture.capturedText, "Guten");
        EXPECT_EQ(FormatBytes(kCustomFormat), Bytes{});
        capture.savedClipboard.Restore();
        DetachInput(capture);
        EXPECT_FALSE(capture.savedClipboard.Pending());
    }
    Bytes text = FormatBytes(CF_UNICODETEXT);
    ASSERT_GE(text.size(), userTextBytes.size());
    text.resize(userTextBytes.size());
    EXPECT_EQ(text, userTextBytes);
    EXPECT_EQ(FormatBytes(kCustomFormat), kCustomBytes);

    // A flow that ends early or by an error: put back when the capture goes out of scope.
    PutUserContents(L"second");
    {
        CapturedSelection capture = CaptureSelectedText();
        DetachInput(capture);
        EXPECT_EQ(ReadClipboardText(), "Guten");
    }
    EXPECT_EQ(ReadClipboardText(), "second");
    EXPECT_EQ(FormatBytes(kCustomFormat), kCustomBytes);

    // The translation copied to the clipboard replaces it all.
    {
        CapturedSelection capture = CaptureSelectedText();
        DetachInput(capture);
        EXPECT_TRUE(CopyTextToClipboard("Добрый день"));
        capture.savedClipboard.Discard();
    }
    EXPECT_EQ(ReadClipboardText(), "Добрый день");
    EXPECT_EQ(FormatBytes(kCustomFormat), Bytes{});
}

TEST(SelectionCapture, ClipboardHeldByAnotherProgramIsAnError) {
    PutUserContents(L"kept");
    ForeignEdit edit("Bonjour", 0, 7);
    {
        ClipboardHolder holder;
        ASSERT_TRUE(holder.Held());
        try {
            CaptureSelectedText();
            ADD_FAILURE() << "no error";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "Cannot open clipboard");
        }
        EXPECT_THROW(ReadClipboardText(), std::runtime_error);
        // Copying the translation fails quietly.
        EXPECT_FALSE(CopyTextToClipboard("Hello"));
    }
    // Nothing was taken from the user's clipboard.
    EXPECT_EQ(ReadClipboardText(), "kept");
}

} // namespace
