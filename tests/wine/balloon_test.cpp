// Balloons and the wait hint as Wine's real user32 and gdi32 make, shape and draw them.
#include "WineTestSupport.h"
#include "notify/BalloonControl_win.h"
#include "notify/BalloonWindow_win.h"
#include "notify/WaitHint_win.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

using namespace tervane;

namespace {

// A window of another program's kind in the foreground, which balloons and the hint must
// leave active. Made once: Wine takes a while to hand the activation on when it goes.
class BalloonTest : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        front = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 500, 300,
                                200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    static void TearDownTestSuite() { DestroyWindow(front); }
    void SetUp() override {
        ASSERT_TRUE(front);
        SetForegroundWindow(front);
        SetFocus(front);
        Pump();
        ASSERT_EQ(GetForegroundWindow(), front);
        balloons.SetTitle("Tervane");
        balloons.SetText({"The cat sleeps on the sofa. ", "It dreams of mice."});
    }
    void TearDown() override {
        for (HWND balloon : OpenBalloons())
            DestroyWindow(balloon);
        Pump();
    }

    void ExpectFrontStillActive() {
        EXPECT_EQ(GetForegroundWindow(), front);
        EXPECT_EQ(GetActiveWindow(), front);
        EXPECT_EQ(GetFocus(), front);
    }

    static BOOL CALLBACK CollectBalloon(HWND window, LPARAM list) {
        if (ClassOf(window) == "TervaneBalloon")
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
    }
    static std::vector<HWND> OpenBalloons() {
        std::vector<HWND> found;
        EnumThreadWindows(GetCurrentThreadId(), CollectBalloon, reinterpret_cast<LPARAM>(&found));
        return found;
    }

    // Opens a balloon at `target` and lets it paint.
    HWND Show(BalloonPosition position, POINT target, int duration = 0) {
        balloons.SetPosition(position);
        balloons.SetPixelCoordinateX(target.x);
        balloons.SetPixelCoordinateY(target.y);
        balloons.SetDuration(duration);
        const HWND balloon = balloons.ShowBalloon();
        Pump();
        return balloon;
    }

    bool Gone(HWND balloon) {
        return PumpUntil(nullptr, [&] { return !IsWindow(balloon); });
    }

    static inline HWND front = nullptr;
    BalloonControl balloons;
};

// Where the arrow's tip lies in the window, and which way its base runs from the tip
// along the body: the arrow's inside is between the tip's column and that side.
struct Arrow {
    POINT tip;
    int inward; // +1: the arrow reaches right of its vertical side, -1: left
    int down;   // +1: the arrow runs down from its tip to the body, -1: up
};

Arrow ArrowOf(BalloonPosition position, int w, int h) {
    switch (position) {
    case BalloonPosition::ArrowTopLeft:
        return {{w - 20, h}, -1, -1};
    case BalloonPosition::ArrowTopRight:
        return {{20, h}, +1, -1};
    case BalloonPosition::ArrowBottomLeft:
        return {{w - 20, 2}, -1, +1};
    case BalloonPosition::ArrowBottomRight:
        break;
    }
    return {{20, 2}, +1, +1};
}

TEST_F(BalloonTest, EachPositionIsShapedAndPlacedWithItsTipOnTheTarget) {
    const POINT target{500, 400};
    for (int p = 0; p < 4; ++p) {
        const auto position = static_cast<BalloonPosition>(p);
        SCOPED_TRACE(p);
        const HWND balloon = Show(position, target);
        ASSERT_TRUE(IsWindow(balloon));
        EXPECT_TRUE(IsWindowVisible(balloon));
        ExpectFrontStillActive();

        const LONG style = GetWindowLongW(balloon, GWL_STYLE);
        const LONG exStyle = GetWindowLongW(balloon, GWL_EXSTYLE);
        EXPECT_TRUE(style & WS_POPUP);
        EXPECT_EQ(style & WS_CAPTION, 0);
        EXPECT_EQ(exStyle & (WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST),
                  WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST);
        EXPECT_EQ(GetWindow(balloon, GW_OWNER), nullptr);
        EXPECT_EQ(GetAncestor(balloon, GA_PARENT), GetDesktopWindow());
        EXPECT_EQ(WindowText(balloon), "The cat sleeps on the sofa. \r\nIt dreams of mice.");

        RECT frame;
        GetWindowRect(balloon, &frame);
        const int w = frame.right - frame.left;
        const int h = frame.bottom - frame.top;
        const Arrow arrow = ArrowOf(position, w, h);
        EXPECT_EQ(frame.left + arrow.tip.x, target.x);
        EXPECT_EQ(frame.top + arrow.tip.y, target.y);
        // Two lines of 8-point text, a title, margins and the arrow's 20 pixels.
        EXPECT_GT(h, 60);
        EXPECT_LT(h, 120);

        const HRGN region = CreateRectRgn(0, 0, 0, 0);
        ASSERT_EQ(GetWindowRgn(balloon, region), COMPLEXREGION);
        RECT box;
        GetRgnBox(region, &box);
        EXPECT_EQ(box.left, 0);
        EXPECT_GE(box.right, w - 1); // the rounded rectangle leaves its right edge out
        EXPECT_LE(box.top, arrow.down > 0 ? 3 : 0);
        EXPECT_GE(box.bottom, h - 1);
        // Four pixels from the tip, inside the arrow; beside its vertical side, outside.
        const int row = arrow.tip.y + 4 * arrow.down - (arrow.down < 0 ? 1 : 0);
        EXPECT_TRUE(PtInRegion(region, arrow.tip.x + 2 * arrow.inward - (arrow.inward < 0), row));
        EXPECT_FALSE(PtInRegion(region, arrow.tip.x - 2 * arrow.inward, row));
        // The rounded corners and the corners beside the arrow are cut off; the body is in.
        EXPECT_FALSE(PtInRegion(region, 0, 0));
        EXPECT_FALSE(PtInRegion(region, w - 1, 0));
        EXPECT_FALSE(PtInRegion(region, 0, h - 1));
        EXPECT_FALSE(PtInRegion(region, w - 1, h - 1));
        EXPECT_TRUE(PtInRegion(region, w / 2, h / 2));
        EXPECT_TRUE(PtInRegion(region, 1, h / 2));
        DeleteObject(region);

        // The black frame runs along the region's left edge; inside is the tooltip colour.
        const HDC screen = GetDC(nullptr);
        EXPECT_EQ(GetPixel(screen, frame.left, frame.top + h / 2), RGB(0, 0, 0));
        EXPECT_EQ(GetPixel(screen, frame.left + 3, frame.top + h / 2), GetSysColor(COLOR_INFOBK));
        ReleaseDC(nullptr, screen);
        DestroyWindow(balloon);
    }
}

TEST_F(BalloonTest, NearEachEdgeOfTheScreenItStaysInsideWithItsTipOnTheTarget) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT work = monitor.rcWork;
    const int cx = (work.left + work.right) / 2;
    const int cy = (work.top + work.bottom) / 2;
    struct Case {
        const char* edge;
        BalloonPosition asked;
        POINT target;
        BalloonPosition shown;
    };
    const Case cases[] = {
        {"bottom",
         BalloonPosition::ArrowBottomLeft,
         {cx + 300, work.bottom - 30},
         BalloonPosition::ArrowTopLeft},
        {"top",
         BalloonPosition::ArrowTopRight,
         {cx - 300, work.top + 30},
         BalloonPosition::ArrowBottomRight},
        {"left",
         BalloonPosition::ArrowTopLeft,
         {work.left + 40, cy},
         BalloonPosition::ArrowTopRight},
        {"right",
         BalloonPosition::ArrowBottomRight,
         {work.right - 40, cy},
         BalloonPosition::ArrowBottomLeft},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.edge);
        const HWND balloon = Show(c.asked, c.target);
        ASSERT_TRUE(IsWindow(balloon));
        RECT frame;
        GetWindowRect(balloon, &frame);
        EXPECT_GE(frame.left, work.left);
        EXPECT_GE(frame.top, work.top);
        EXPECT_LE(frame.right, work.right);
        EXPECT_LE(frame.bottom, work.bottom);
        // Shaped as the position it flipped to, that arrow's tip on the target.
        const Arrow arrow = ArrowOf(c.shown, frame.right - frame.left, frame.bottom - frame.top);
        EXPECT_EQ(frame.left + arrow.tip.x, c.target.x);
        EXPECT_EQ(frame.top + arrow.tip.y, c.target.y);
        const HRGN region = CreateRectRgn(0, 0, 0, 0);
        ASSERT_EQ(GetWindowRgn(balloon, region), COMPLEXREGION);
        const int row = arrow.tip.y + 4 * arrow.down - (arrow.down < 0 ? 1 : 0);
        EXPECT_TRUE(PtInRegion(region, arrow.tip.x + 2 * arrow.inward - (arrow.inward < 0), row));
        DeleteObject(region);
        DestroyWindow(balloon);
    }
}

TEST_F(BalloonTest, EachTypeShowsItsPictureAndUnknownTypesTheInfoPicture) {
    struct Case {
        int type;
        POINT at;        // a telling pixel of the picture
        COLORREF colour; // its colour there
    };
    const Case cases[] = {
        {0, {8, 9}, RGB(0, 70, 200)},    // the i's stem
        {1, {8, 8}, RGB(255, 255, 255)}, // the cross's middle
        {2, {8, 7}, RGB(0, 0, 0)},       // the exclamation mark's bar
        {7, {8, 9}, RGB(0, 70, 200)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        balloons.SetType(static_cast<BalloonType>(c.type));
        const HWND balloon = Show(BalloonPosition::ArrowBottomRight, {300, 300});
        RECT frame;
        GetWindowRect(balloon, &frame);
        const HDC screen = GetDC(nullptr);
        // The picture stands at (10, 30) below an arrow above the body.
        EXPECT_EQ(GetPixel(screen, frame.left + 10 + c.at.x, frame.top + 30 + c.at.y), c.colour);
        ReleaseDC(nullptr, screen);
        DestroyWindow(balloon);
    }
}

TEST_F(BalloonTest, AClickOrTheTimerClosesABalloonAndTheOthersStay) {
    const HWND first = Show(BalloonPosition::ArrowTopLeft, {400, 300});
    const HWND second = Show(BalloonPosition::ArrowTopLeft, {400, 300});
    const HWND timed = Show(BalloonPosition::ArrowBottomRight, {700, 300}, 1);
    ASSERT_NE(first, second);
    EXPECT_EQ(OpenBalloons().size(), 3u);

    // The second lies over the first; a click on it closes it and only it.
    RECT frame;
    GetWindowRect(second, &frame);
    ClickAt(second, {(frame.right - frame.left) / 2, 15});
    EXPECT_TRUE(Gone(second));
    EXPECT_TRUE(IsWindowVisible(first));
    ExpectFrontStillActive();

    EXPECT_TRUE(Gone(timed)) << "a duration of one second";
    // A balloon without a duration stays until it is clicked, wherever it is clicked.
    EXPECT_TRUE(IsWindowVisible(first));
    ClickAt(first, {12, 12});
    EXPECT_TRUE(Gone(first));
    EXPECT_TRUE(OpenBalloons().empty());
}

TEST_F(BalloonTest, TextsInAnyScriptReachTheBalloon) {
    balloons.SetTitle("Переводчик");
    balloons.SetText({"  Кошка спит на диване.", "猫在沙发上睡觉。  ", ""});
    const HWND balloon = Show(BalloonPosition::ArrowTopRight, {300, 300});
    EXPECT_EQ(WindowText(balloon), "Кошка спит на диване.\r\n猫在沙发上睡觉。");
}

// The rows of a window's pixels on the screen that hold `colour`, top and bottom, from one copy.
std::pair<int, int> RowsOfColour(HWND window, COLORREF colour) {
    RECT frame;
    GetWindowRect(window, &frame);
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    const HDC screen = GetDC(nullptr);
    const HDC copy = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    const HGDIOBJ old = SelectObject(copy, bitmap);
    BitBlt(copy, 0, 0, w, h, screen, frame.left, frame.top, SRCCOPY);
    int first = -1, last = -1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (GetPixel(copy, x, y) == colour) {
                first = first < 0 ? y : first;
                last = y;
            }
    SelectObject(copy, old);
    DeleteObject(bitmap);
    DeleteDC(copy);
    ReleaseDC(nullptr, screen);
    return {first, last};
}

// A word's dictionary stands under the text in grey, inside the body, which grew for it;
// the window's text carries it after a blank line; the next balloon without one is as before.
TEST_F(BalloonTest, TheDictionaryStandsInGreyUnderTheTextInsideTheBody) {
    const auto height = [](HWND window) {
        RECT frame;
        GetWindowRect(window, &frame);
        return frame.bottom - frame.top;
    };
    const HWND plain = Show(BalloonPosition::ArrowBottomRight, {300, 300});
    const int plainHeight = height(plain);
    DestroyWindow(plain);

    balloons.SetDictionary({"bank (n), bench (n)", "shoal"});
    const HWND balloon = Show(BalloonPosition::ArrowBottomRight, {300, 300});
    EXPECT_EQ(WindowText(balloon), "The cat sleeps on the sofa. \r\nIt dreams of mice.\r\n\r\n"
                                   "bank (n), bench (n)\r\nshoal");
    const auto [greyTop, greyBottom] = RowsOfColour(
        balloon, RGB(kDictionaryColour.red, kDictionaryColour.green, kDictionaryColour.blue));
    // The text ends above the plain balloon's bottom margin of 10; 6 more set the lines apart.
    EXPECT_GE(greyTop, plainHeight - 10 + 6) << "set apart from the text";
    EXPECT_GT(greyBottom, greyTop + 13) << "two lines";
    EXPECT_LE(greyBottom, height(balloon) - 10) << "above the bottom margin";
    EXPECT_GT(height(balloon), plainHeight + 2 * 13);
    DestroyWindow(balloon);

    balloons.SetDictionary({});
    const HWND after = Show(BalloonPosition::ArrowBottomRight, {300, 300});
    EXPECT_EQ(height(after), plainHeight);
    EXPECT_EQ(RowsOfColour(after, RGB(kDictionaryColour.red, kDictionaryColour.green,
                                      kDictionaryColour.blue)),
              std::make_pair(-1, -1));
}

// The status-bar font the system gives tooltips, as the hint measures in it.
SIZE HintTextSize(const wchar_t* text) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    const HFONT font = CreateFontIndirectW(&metrics.lfStatusFont);
    const HDC screen = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(screen, font);
    SIZE size;
    GetTextExtentPoint32W(screen, text, lstrlenW(text), &size);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    DeleteObject(font);
    return size;
}

HWND FindWaitHint() {
    return FindWindowW(WaitHint::kClassName, nullptr);
}

TEST_F(BalloonTest, WaitHintSizedPlacedOnTopAndNeverActive) {
    const SIZE text = HintTextSize(L"Translating, please wait ...");
    const int screenW = GetSystemMetrics(SM_CXSCREEN);
    const int screenH = GetSystemMetrics(SM_CYSCREEN);
    {
        WaitHint hint({100, 200}, "Translating, please wait ...");
        const HWND window = FindWaitHint();
        ASSERT_TRUE(window);
        EXPECT_TRUE(IsWindowVisible(window));
        RECT r;
        GetWindowRect(window, &r);
        EXPECT_EQ(r.left, 100);
        EXPECT_EQ(r.top, 200);
        EXPECT_EQ(r.right - r.left, text.cx + 10);
        EXPECT_EQ(r.bottom - r.top, text.cy + 4);
        EXPECT_TRUE(GetWindowLongW(window, GWL_STYLE) & WS_BORDER);
        EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
        ExpectFrontStillActive();
        // Painted before the caller goes on: the text's ink is on the screen already.
        const HDC screen = GetDC(nullptr);
        int ink = 0;
        for (int x = r.left + 1; x < r.right - 1; ++x) {
            ink += GetPixel(screen, x, (r.top + r.bottom) / 2) == GetSysColor(COLOR_INFOTEXT);
        }
        ReleaseDC(nullptr, screen);
        EXPECT_GT(ink, 10);
        // A click on it leaves the foreground where it was.
        ClickAt(window, {5, 5});
        Pump();
        ExpectFrontStillActive();
    }
    EXPECT_EQ(FindWaitHint(), nullptr) << "gone with its object";

    // At the screen's bottom right corner it moves left and up into the screen.
    WaitHint corner({screenW - 5, screenH - 3}, "Translating, please wait ...");
    RECT r;
    GetWindowRect(FindWaitHint(), &r);
    EXPECT_EQ(r.right, screenW);
    EXPECT_EQ(r.bottom, screenH);
    EXPECT_EQ(r.right - r.left, text.cx + 10);
}

} // namespace
