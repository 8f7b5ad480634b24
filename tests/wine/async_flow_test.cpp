// A translation through the real main window while a slow loopback service holds the
// exchange: the window keeps answering, a second press of the real hotkey is ignored, and
// the answer is shown once it comes back.
#include "CaptureTestSupport.h"
#include "MainWindowFixture.h"
#include "tests/wine/LoopbackHttpServer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace tervane;

namespace {

// Whether another thread's message to `window` is answered (by a UI thread that is not
// held), within a generous deadline.
bool AnswersAnotherThread(HWND window) {
    std::atomic<bool> answered{false}, asked{false};
    std::thread prober([&] {
        DWORD_PTR result = 0;
        answered = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
        asked = true;
    });
    PumpUntil(
        nullptr, [&] { return asked.load(); }, 15000);
    prober.join();
    return answered;
}

class AsyncFlowTest : public MainWindowTest {};

TEST_F(AsyncFlowTest, TheWindowAnswersWhileTheServiceThinksAndASecondPressIsIgnored) {
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> asked{0};
    LoopbackHttpServer service([&](const ReceivedRequest&) {
        ++asked;
        WaitForSingleObject(release, 30000);
        return LoopbackHttpServer::Response(200, "OK", "\"The cat is black.\"");
    });
    form->SetServiceAddress("http://127.0.0.1:" + std::to_string(service.Port()) + "/translate");
    int presses = 0, started = 0;
    form->HotKeys().onHotKeyPressed = [&](std::uint32_t hotKey, std::uint16_t index) {
        ++presses;
        RunGuarded(form->Handle(), [&] { form->OnTranslateHotKey(hotKey, index); });
    };
    bool shown = false;
    form->onFlowStage = [&](FlowStage stage) {
        started += stage == FlowStage::Started;
        shown = shown || stage == FlowStage::Shown;
    };
    ForeignEdit edit("Le chat est noir.", 0, 17);

    PressDefaultHotKey();
    ASSERT_TRUE(PumpUntil(nullptr, [&] { return asked == 1; }));
    EXPECT_TRUE(form->TranslationPending());
    EXPECT_TRUE(AnswersAnotherThread(form->Handle())) << "the UI thread does not wait";

    PressDefaultHotKey(); // while the service still holds the first one
    ASSERT_TRUE(PumpUntil(nullptr, [&] { return presses == 2; }));
    EXPECT_EQ(started, 1) << "the second press is ignored: no capture";
    EXPECT_EQ(asked, 1) << "and no request";

    SetEvent(release);
    ASSERT_TRUE(PumpUntil(
        nullptr, [&] { return shown; }, 20000));
    EXPECT_FALSE(form->TranslationPending());
    EXPECT_EQ(asked, 1);

    // The next press translates again.
    PressDefaultHotKey();
    EXPECT_TRUE(PumpUntil(nullptr, [&] { return asked == 2; }));
    PumpUntil(
        nullptr, [&] { return !form->TranslationPending(); }, 20000);
    CloseHandle(release);
}

} // namespace
