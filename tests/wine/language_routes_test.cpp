// The target picker against a service's language listing served by a real loopback server:
// the listing is read on a worker thread, and once it has come back the targets without a
// route from the source are drawn grey. (Which targets are greyed, and a late answer
// dropped: tests/unit/panel_controllers_test.cpp.)
#include "tests/wine/LoopbackHttpServer.h"

#include "MainWindowFixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

using namespace tervane;

namespace {

// French reaches English and Spanish only; no other source is listed.
constexpr const char* kListing =
    R"json({"engine":"apertium","languages":[{"code":"fr","name":"French","targets":[)json"
    R"json({"code":"en","engine":"apertium","route":["fr-en"]},)json"
    R"json({"code":"es","engine":"apertium","route":["fr-es"]}]}],"unavailable":[]})json";

constexpr int kEnglish = 0, kFrench = 1, kSpanish = 3, kJapanese = 10;

class LanguageRoutesTest : public MainWindowTest {
  protected:
    void PickSource(int position) { Pick(ControlId::SourcePicker, position); }
    // The darkest pixel (the smallest sum of red, green and blue) of a row's name, as the
    // opened target list shows it.
    int DarkestInName(HWND list, int row) {
        RECT r;
        SendMessageW(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        const HDC dc = GetDC(list);
        int darkest = 3 * 255;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left + 18; x < r.right; ++x) {
                const COLORREF c = GetPixel(dc, x, y);
                darkest = std::min(darkest, GetRValue(c) + GetGValue(c) + GetBValue(c));
            }
        ReleaseDC(list, dc);
        return darkest;
    }
};

TEST_F(LanguageRoutesTest, TargetsWithoutARouteFromTheSourceAreGreyAndStillThere) {
    std::atomic<int> asked{0};
    LoopbackHttpServer service([&](const ReceivedRequest& request) {
        ++asked;
        return request.method == "GET" && request.target == "/languages"
                   ? LoopbackHttpServer::Response(200, "OK", kListing)
                   : LoopbackHttpServer::Response(404, "Not Found");
    });
    form->SetRoutesAddress("http://127.0.0.1:" + std::to_string(service.Port()) + "/languages");
    ASSERT_TRUE(PumpUntil(form->Handle(), [&] { return !form->TargetReached(kJapanese); }));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(form->SourceCode(), "FR");
    EXPECT_TRUE(form->TargetReached(kEnglish));
    EXPECT_TRUE(form->TargetReached(kSpanish));
    EXPECT_TRUE(form->TargetReached(kFrench)) << "the source's own language";
    EXPECT_FALSE(form->TargetReached(kJapanese));

    // Drawn so in the opened list, every row still there.
    const HWND target = form->Control(ControlId::TargetPicker);
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetComboBoxInfo(target, &info));
    SetCursorPos(0, 0); // no row under the pointer, none highlighted but the current one
    SendMessageW(target, CB_SHOWDROPDOWN, TRUE, 0);
    ASSERT_TRUE(PumpUntil(form->Handle(), [&] { return IsWindowVisible(info.hwndList) != 0; }));
    Pump(form->Handle());
    EXPECT_EQ(SendMessageW(info.hwndList, LB_GETCOUNT, 0, 0), 54);
    const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
    const int greySum = GetRValue(grey) + GetGValue(grey) + GetBValue(grey);
    EXPECT_LT(DarkestInName(info.hwndList, kSpanish), 100) << "window text";
    EXPECT_GE(DarkestInName(info.hwndList, kJapanese), greySum - 3) << "grey text";
    EXPECT_LT(DarkestInName(info.hwndList, kJapanese), 3 * 255) << "but drawn";
    SendMessageW(target, CB_SHOWDROPDOWN, FALSE, 0);

    // A new source asks again; one the listing leaves out reaches nothing but itself.
    PickSource(kEnglish);
    EXPECT_TRUE(PumpUntil(form->Handle(), [&] { return asked == 2; }));
    EXPECT_FALSE(form->TargetReached(kSpanish));
    EXPECT_TRUE(form->TargetReached(kEnglish));
    // The swap changes the source too.
    SendMessageW(form->Handle(), kSwapLanguagesMessage, 0, 0);
    EXPECT_TRUE(PumpUntil(form->Handle(), [&] { return asked == 3; }));
}

} // namespace
