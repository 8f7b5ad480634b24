// A hotkey set to replace, through the real main window, Wine's real controls and clipboard,
// and a loopback service: the selection gives way to its translation in an edit control and
// in Wine's notepad, another process (the replace-selection message), and in a window that
// pastes only on the keystroke (the clipboard lent, rich text and Unicode on it beforehand);
// a read-only edit keeps its text and the error report says why. Each time, the user's
// clipboard (every format) is back afterwards.
#include "CaptureTestSupport.h"
#include "MainWindowFixture.h"
#include "notify/BalloonWindow_win.h"
#include "tests/wine/LoopbackHttpServer.h"
#include "translate/ReplaceWays.h"

#include <gtest/gtest.h>

#include <optional>

using namespace tervane;

namespace {

constexpr std::uint32_t kCtrlShiftF12 = kHotKeyCtrl | kHotKeyShift | VK_F12;
const std::wstring kUsersText = L"Ce que l'utilisateur avait copi\u00e9";

// Asked of the window itself: GetWindowText gives another process's control no message.
std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    SendMessageW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    return text;
}

class ReplaceTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        form->SetServiceAddress("http://127.0.0.1:" + std::to_string(service.Port()) +
                                "/translate");
        form->onFlowStage = [this](FlowStage stage) {
            lastStage = stage;
            ended = ended || stage == FlowStage::Replaced;
        };
        form->HotKeysPanel().Controller().OnSetAction(0, HotKeyAction::Replace);

        ASSERT_TRUE(PutUserContents(kUsersText));
    }
    // One press of the replacing hotkey, until the flow has let go of the capture (or an
    // error report came up instead).
    void PressAndWait(const MessageBoxRecorder* boxes = nullptr) {
        ended = false;
        lastStage.reset();
        PressDefaultHotKey();
        const bool over = PumpUntil(
            nullptr,
            [&] {
                return (ended || (boxes && !boxes->boxes.empty())) && !form->TranslationPending();
            },
            20000);
        HWND balloon = FindWindowW(BalloonWindow::kClassName, nullptr);
        // Started and no further: nothing was captured.
        ASSERT_TRUE(over) << "the flow's last stage: "
                          << (lastStage ? static_cast<int>(*lastStage) : -1)
                          << "; the balloon shows: "
                          << (balloon ? Narrow(TextOf(balloon)) : std::string("nothing"));
    }
    void ExpectTheUsersClipboardBack() {
        EXPECT_EQ(FormatBytes(kCustomFormat), kCustomBytes);
        const Bytes text = FormatBytes(CF_UNICODETEXT);
        EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(text.data())), kUsersText);
    }

    LoopbackHttpServer service{[](const ReceivedRequest&) {
        return LoopbackHttpServer::Response(200, "OK", "\"The cat is black.\"");
    }};
    bool ended = false;
    std::optional<FlowStage> lastStage;
};

TEST_F(ReplaceTest, AnEditControlAndNotepadTakeTheTranslationInPlaceOfTheirSelection) {
    {
        ForeignEdit edit("Le chat est noir. Il dort.", 0, 17);
        ASSERT_EQ(form->HotKeysPanel().Controller().ActionOf(kCtrlShiftF12), HotKeyAction::Replace);
        PressAndWait();
        EXPECT_EQ(TextOf(edit.Handle()), L"The cat is black. Il dort.");
        ExpectTheUsersClipboardBack();
    }

    WineProgram notepad(L"notepad.exe", L"Notepad");
    ASSERT_TRUE(notepad.Window());
    HWND editor = notepad.Child(L"Edit");
    ASSERT_TRUE(editor);
    SendMessageW(editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Il dort. Le chat est noir."));
    SendMessageW(editor, EM_SETSEL, 9, 26);
    ASSERT_TRUE(notepad.FocusInFront(editor));
    PressAndWait();
    EXPECT_EQ(TextOf(editor), L"Il dort. The cat is black.");
    ExpectTheUsersClipboardBack();
    EXPECT_EQ(FindWindowW(BalloonWindow::kClassName, nullptr), nullptr)
        << "a replacement shows no balloon";
}

TEST_F(ReplaceTest, AWindowThatPastesOnlyOnTheKeystrokeIsGivenTheTextByTheClipboard) {
    // Without the wait hint: under Wine with no window manager a popup shown takes the X focus
    // from the window in front, and Wine then takes the Windows focus from it too, so the
    // keystroke would go nowhere (a desktop's window manager keeps the focus where it is).
    CheckBox(form->Control(ControlId::FreezeBox)).ClickTo(false);
    // What a word processor leaves on the clipboard: rich text, and text beyond any code page.
    const UINT richText = RegisterClipboardFormatW(L"Rich Text Format");
    const std::string rtf = "{\\rtf1\\ansi{\\b \\u922?\\u945?\\u955?\\u951?} caf\\'e9}";
    const std::wstring unicode = L"\u039a\u03b1\u03bb\u03b7\u03bc\u03ad\u03c1\u03b1 "
                                 L"\u65e5\u672c\u8a9e \U0001F431";
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT,
                     Global(unicode.c_str(), (unicode.size() + 1) * sizeof(wchar_t)));
    SetClipboardData(richText, Global(rtf.c_str(), rtf.size() + 1));
    SetClipboardData(kCustomFormat, Global(kCustomBytes.data(), kCustomBytes.size()));
    CloseClipboard();

    PageViewLog log;
    PageView page(L"Le chat est noir.", log);
    PressAndWait();
    EXPECT_EQ(log.copies, 1) << "captured by the copy keystroke";
    ASSERT_EQ(log.pastes, 1);
    EXPECT_EQ(log.pasted, L"The cat is black.");
    const Bytes text = FormatBytes(CF_UNICODETEXT);
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(text.data())), unicode);
    const Bytes rich = FormatBytes(richText);
    EXPECT_EQ(std::string(rich.begin(), rich.end()).c_str(), rtf);
    EXPECT_EQ(FormatBytes(kCustomFormat), kCustomBytes);

    // A page that takes no paste: nothing replaced, the clipboard back, and the user told.
    log.takesPastes = false;
    PressAndWait();
    EXPECT_EQ(log.pastes, 1);
    HWND balloon = FindWindowW(BalloonWindow::kClassName, nullptr);
    ASSERT_TRUE(balloon);
    EXPECT_EQ(Narrow(TextOf(balloon)), kPasteNotTakenText);
    EXPECT_TRUE(SaveScreenshot("wine-replace-not-taken.png"));
    EXPECT_EQ(FormatBytes(kCustomFormat), kCustomBytes);
    PostMessageW(balloon, WM_CLOSE, 0, 0);
}

TEST_F(ReplaceTest, AReadOnlyEditKeepsItsTextAndTheErrorIsReported) {
    ForeignWindow edit([] {
        HWND control = MakeEdit("Le chat est noir.", 0, 17);
        SendMessageW(control, EM_SETREADONLY, TRUE, 0);
        return control;
    });
    MessageBoxRecorder boxes;
    PressAndWait(&boxes);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, kReadOnlyTargetText);
    EXPECT_EQ(TextOf(edit.Handle()), L"Le chat est noir.");
    ExpectTheUsersClipboardBack();
}

} // namespace
