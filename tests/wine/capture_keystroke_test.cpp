// The capture's later ways against Wine's real input, clipboard and automation library: a
// page view that copies only on the copy keystroke, a window that hangs in front, nothing
// selected anywhere, and what UI Automation answers. The times checked are liveness bounds
// with wide margins (a hung window must not hold the program), not speeds.
#include "translate/Clipboard_win.h"
#include "translate/SelectionCaptureAutomation_win.h"
#include "translate/SelectionCapture_win.h"

#include "CaptureTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>

using namespace tervane;

namespace {

using Clock = std::chrono::steady_clock;

// Far above the capture's own bounds (about three seconds in all), far below a hang's minute.
constexpr auto kLiveness = std::chrono::seconds(5);

const std::wstring kUserText = L"what the user copied";

// The program's hidden window that opens the clipboard, and so owns it once the capture has
// emptied it: the page's copy then waits for it to answer WM_DESTROYCLIPBOARD.
class Opener {
  public:
    Opener()
        : window_(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), nullptr)) {}
    ~Opener() { DestroyWindow(window_); }
    Opener(const Opener&) = delete;
    Opener& operator=(const Opener&) = delete;
    HWND Handle() const { return window_; }

  private:
    HWND window_;
};

void ExpectUsersClipboard() {
    EXPECT_EQ(ReadClipboardText(), Narrow(kUserText));
    EXPECT_EQ(FormatBytes(kCustomFormat), kCustomBytes);
}

TEST(CaptureByKeystroke, APageViewGivesItsSelectionOnceTheHotkeysModifiersAreLetGo) {
    ASSERT_TRUE(PutUserContents(kUserText));
    PageViewLog log;
    PageView page(L"Le chat est noir.", log);

    // The hotkey's Shift is still down when the press arrives and let go a moment later:
    // Ctrl+Insert sent before that would reach the page as Ctrl+Shift+Insert.
    HeldKey shift("shift", VK_SHIFT);
    std::thread letGo([&] {
        Sleep(300);
        shift.Release();
    });
    Opener opener;
    const auto start = Clock::now();
    {
        CapturedSelection capture = CaptureSelectedText(opener.Handle());
        const auto took = Clock::now() - start;
        letGo.join();
        DetachInput(capture);
        EXPECT_EQ(capture.way, CaptureWay::CopyKeystroke);
        EXPECT_EQ(capture.capturedText, "Le chat est noir.");
        EXPECT_EQ(capture.clipboardText, "Le chat est noir.");
        EXPECT_LT(took, kLiveness);
        // Asked the copy command first, then copied once on the keystroke, nothing else.
        EXPECT_EQ(log.copyMessages, 1);
        EXPECT_EQ(log.copies, 1);
        EXPECT_EQ(log.otherCommands, 0);
        capture.savedClipboard.Restore();
    }
    ExpectUsersClipboard();
}

TEST(CaptureByKeystroke, AModifierStillHeldAfterTheBoundSendsNoKeystrokeAtAll) {
    ASSERT_TRUE(PutUserContents(kUserText));
    PageViewLog log;
    PageView page(L"Le chat est noir.", log);
    Opener opener;
    HeldKey shift("shift", VK_SHIFT);
    const auto start = Clock::now();
    {
        CapturedSelection capture = CaptureSelectedText(opener.Handle());
        EXPECT_LT(Clock::now() - start, kLiveness);
        DetachInput(capture);
        EXPECT_EQ(capture.capturedText, "");
    }
    shift.Release();
    Pump();
    EXPECT_EQ(log.copies, 0);
    EXPECT_EQ(log.otherCommands, 0);
    ExpectUsersClipboard();
}

TEST(CaptureByKeystroke, NothingSelectedGivesNothingWithinTheBoundAndKeepsTheClipboard) {
    ASSERT_TRUE(PutUserContents(kUserText));
    PageViewLog log;
    PageView page(L"", log);
    const auto start = Clock::now();
    {
        CapturedSelection capture = CaptureSelectedText();
        EXPECT_LT(Clock::now() - start, kLiveness);
        DetachInput(capture);
        EXPECT_TRUE(capture.attached);
        EXPECT_EQ(capture.way, CaptureWay::None);
        EXPECT_EQ(capture.capturedText, "");
        EXPECT_EQ(log.copies, 0);
        EXPECT_EQ(log.otherCommands, 0);
    }
    // The flow stops there; the capture going out of scope puts the clipboard back.
    ExpectUsersClipboard();
}

TEST(CaptureByKeystroke, AHungWindowInFrontCannotHoldTheProgram) {
    ASSERT_TRUE(PutUserContents(kUserText));
    // An edit with its caret only: when its thread wakes, what it was sent copies nothing.
    ForeignWindow hung([] { return MakeEdit("frozen", 2, 2); }, true);
    ASSERT_EQ(GetForegroundWindow(), hung.Handle());
    const auto start = Clock::now();
    {
        CapturedSelection capture = CaptureSelectedText();
        EXPECT_LT(Clock::now() - start, kLiveness);
        DetachInput(capture);
        EXPECT_EQ(capture.capturedText, "");
    }
    ExpectUsersClipboard();

    // The program still answers: the next press over a window that copies works, while the
    // hung one is still there.
    ForeignEdit edit("Guten Tag", 0, 5);
    CapturedSelection capture = CaptureSelectedText();
    DetachInput(capture);
    EXPECT_EQ(capture.way, CaptureWay::CopyMessage);
    EXPECT_EQ(capture.capturedText, "Guten");
}

// Wine 8's automation library has no automation object (the class is not registered), so
// there the way fails and the capture falls through to the next; a system that has one
// gives the edit's selection.
TEST(CaptureByAutomation, GivesTheFocusedEditsSelectionWhereTheSystemHasAutomation) {
    ForeignEdit edit("Bonjour le monde", 0, 7);
    try {
        EXPECT_EQ(ReadAutomationSelection(), "Bonjour");
    } catch (const std::runtime_error& e) {
        EXPECT_THAT(e.what(), testing::StartsWith("CUIAutomation8: "));
    }
}

} // namespace
