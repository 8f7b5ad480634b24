// Selection capture against Wine's real clipboard, input attachment and EDIT controls, which
// answer the copy command.
#include "translate/Clipboard_win.h"
#include "translate/SelectionCapture_win.h"

#include "CaptureTestSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>

using namespace tervane;

namespace {

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
        EXPECT_EQ(capture.way, CaptureWay::CopyMessage);
        // The selection stays on the clipboard until the flow decides.
        EXPECT_EQ(ReadClipboardText(), word);
        DetachInput(capture);
        capture.savedClipboard.Discard();
    }
}

TEST(SelectionCapture, NothingSelectedOrOwnWindowInFrontGivesEmptyTexts) {
    ASSERT_TRUE(PutUserContents(L"old text"));
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

    // Copying the translation fails (another program holds the clipboard): the flow keeps
    // the saved contents, and they come back.
    PutUserContents(L"third");
    {
        CapturedSelection capture = CaptureSelectedText();
        DetachInput(capture);
        ClipboardHolder holder;
        ASSERT_TRUE(holder.Held());
        if (CopyTextToClipboard("Hello"))
            capture.savedClipboard.Discard();
    }
    EXPECT_EQ(ReadClipboardText(), "third");
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
