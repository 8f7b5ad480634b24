// Notification-area icons and their timers against Wine's real shell notification
// service, window messages and timers. Notifications are posted as the shell sends them.
#include "app/ApplicationWindow_win.h"
#include "app/res/resource.h"
#include "notify/SimpleTimer_win.h"
#include "notify/TrayIconHandler_win.h"
#include "notify/TrayIcon_win.h"

#include "WineTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace tervane;

namespace {

template <class Pred> bool PumpUntil(Pred done) {
    return ::PumpUntil(nullptr, done);
}

HICON ProgramIcon() {
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TERVANE),
                                         IMAGE_ICON, 16, 16, 0));
}

// The class of the window Wine's shell shows the notification area in when the display has none.
constexpr wchar_t kWineTrayClass[] = L"__winex11_standalone_tray";

// A notification of the icon as the shell posts it to the icon's window.
void Notify(const TrayIcon& icon, UINT mouseMessage) {
    PostMessageW(icon.NotifyData().hWnd, kTrayIconCallbackMessage, icon.Identifier(), mouseMessage);
}

void PostClick(const TrayIcon& icon) {
    Notify(icon, WM_LBUTTONDOWN);
    Notify(icon, WM_LBUTTONUP);
}

// Whether the shell holds the icon now: it refuses to modify one it does not know.
bool ShellHolds(const TrayIcon& icon) {
    NOTIFYICONDATAW data = icon.NotifyData();
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

// An icon as the main window makes it, counting what its events report.
struct CountingIcon {
    explicit CountingIcon(HWND owner = nullptr, HWND taskbar = nullptr) : icon(owner, taskbar) {
        icon.SetHint("Tervane");
        const HICON picture = ProgramIcon();
        icon.SetIcon(picture);
        DestroyIcon(picture);
        icon.onClick = [this] { ++clicks; };
        icon.onMouseUp = [this](TrayMouseButton, unsigned, int, int) { ++releases; };
        icon.Initialize();
    }
    TrayIcon icon;
    int clicks = 0;
    int releases = 0;
};

TEST(TrayIcon, IsAddedAndRemovedThroughTheShellWithItsTip) {
    CountingIcon counted;
    TrayIcon& icon = counted.icon;
    const NOTIFYICONDATAW& data = icon.NotifyData();
    EXPECT_EQ(data.cbSize, NOTIFYICONDATAW_V2_SIZE);
    EXPECT_EQ(data.hWnd, TrayIconHandler::Window());
    EXPECT_EQ(data.uID, icon.Identifier());
    EXPECT_EQ(data.uFlags, 7u);
    EXPECT_EQ(data.uCallbackMessage, 2048u);
    EXPECT_NE(data.hIcon, nullptr);
    EXPECT_EQ(std::wstring(data.szTip), L"Tervane");
    // Not shown at start.
    EXPECT_FALSE(icon.IconVisible());
    EXPECT_FALSE(ShellHolds(icon));

    icon.SetIconVisible(true);
    EXPECT_TRUE(icon.IconVisible());
    EXPECT_TRUE(ShellHolds(icon));
    // The shell holds one icon per identifier: a second add is refused, and changes nothing.
    EXPECT_FALSE(icon.AddNotifyIcon());
    EXPECT_TRUE(icon.IconVisible());
    EXPECT_TRUE(icon.DeleteNotifyIcon());
    EXPECT_FALSE(icon.IconVisible());
    EXPECT_FALSE(ShellHolds(icon));
    EXPECT_FALSE(icon.DeleteNotifyIcon());

    // A hint set while hidden is the tip of the next add, cut to what the record holds.
    icon.SetHint(std::string(200, 'h'));
    EXPECT_EQ(std::wstring(data.szTip), std::wstring(127, L'h'));
    EXPECT_TRUE(icon.AddNotifyIcon());
    icon.SetShowHint(false);
    EXPECT_EQ(std::wstring(data.szTip), L"");
    EXPECT_TRUE(icon.DeleteNotifyIcon());
}

TEST(TrayIcon, ClickIsReportedAtTheReleaseOrAfterTheDoubleClickTime) {
    CountingIcon counted;
    TrayIcon& icon = counted.icon;

    // A person's click on the shown icon. On a display without a notification area of its
    // own, Wine's shell shows the icons in a window of its own, the first at its top left.
    icon.SetIconVisible(true);
    HWND area = nullptr;
    ASSERT_TRUE(
        PumpUntil([&] { return (area = FindWindowW(kWineTrayClass, nullptr)) != nullptr; }));
    ClickAt(area, {8, 8});
    ASSERT_TRUE(PumpUntil([&] { return counted.releases == 1; }));
    EXPECT_EQ(counted.clicks, 1);
    icon.SetIconVisible(false);

    // Without a double-click handler: at the release; a double click reports its first click.
    PostClick(icon);
    ASSERT_TRUE(PumpUntil([&] { return counted.releases == 2; }));
    EXPECT_EQ(counted.clicks, 2);
    Notify(icon, WM_LBUTTONDBLCLK);
    Notify(icon, WM_LBUTTONUP);
    ASSERT_TRUE(PumpUntil([&] { return counted.releases == 3; }));
    EXPECT_EQ(counted.clicks, 2);

    // With one: a single click waits for the click timer; a double click is no click.
    int doubleClicks = 0;
    icon.onDblClick = [&] { ++doubleClicks; };
    PostClick(icon);
    ASSERT_TRUE(PumpUntil([&] { return counted.releases == 4; }));
    EXPECT_EQ(counted.clicks, 2);
    EXPECT_EQ(SimpleTimerHandler::RunningCount(), 1u);
    ASSERT_TRUE(PumpUntil([&] { return counted.clicks == 3; }));
    EXPECT_EQ(SimpleTimerHandler::RunningCount(), 0u);

    PostClick(icon);
    Notify(icon, WM_LBUTTONDBLCLK);
    Notify(icon, WM_LBUTTONUP);
    ASSERT_TRUE(PumpUntil([&] { return SimpleTimerHandler::RunningCount() == 0; }));
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_EQ(counted.clicks, 3);
}

TEST(TrayIcon, NotificationsReachTheirOwnEnabledIconOnly) {
    CountingIcon disabled, enabled;
    ASSERT_EQ(disabled.icon.NotifyData().hWnd, enabled.icon.NotifyData().hWnd);
    disabled.icon.enabled = false;
    int balloonClicks = 0;
    disabled.icon.onBalloonHintClick = [&] { ++balloonClicks; };

    // A notification for an icon that no longer exists is dropped.
    {
        CountingIcon gone;
        PostClick(gone.icon);
    }
    PostClick(disabled.icon);
    Notify(disabled.icon, NIN_BALLOONUSERCLICK);
    PostClick(enabled.icon);
    // Handled in the order posted: once the enabled icon has its click, all were seen.
    ASSERT_TRUE(PumpUntil([&] { return enabled.clicks == 1; }));
    EXPECT_EQ(disabled.clicks, 0);
    EXPECT_EQ(disabled.releases, 0);
    // Balloon notifications are not mouse notifications: they come through regardless.
    EXPECT_EQ(balloonClicks, 1);
}

TEST(TrayIcon, ShellRestartAddsShownIconsAgainAndNotHiddenOnes) {
    const UINT taskbarCreated = TaskbarCreatedMessage();
    ASSERT_NE(taskbarCreated, 0u);
    CountingIcon shown, hidden;
    shown.icon.SetIconVisible(true);
    // The restarted shell has forgotten every icon.
    NOTIFYICONDATAW data = shown.icon.NotifyData();
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &data));
    ASSERT_FALSE(ShellHolds(shown.icon));

    PostMessageW(HWND_BROADCAST, taskbarCreated, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return ShellHolds(shown.icon); }));
    EXPECT_FALSE(ShellHolds(hidden.icon));
    EXPECT_FALSE(hidden.icon.IconVisible());
}

TEST(TrayIcon, IconsShareOneHandlerWindowThatGoesWithTheLast) {
    EXPECT_EQ(TrayIconHandler::Window(), nullptr);
    auto first = std::make_unique<TrayIcon>(nullptr, nullptr);
    auto second = std::make_unique<TrayIcon>(nullptr, nullptr);
    const HWND window = TrayIconHandler::Window();
    ASSERT_TRUE(IsWindow(window));
    EXPECT_EQ(second->NotifyData().hWnd, window);
    EXPECT_EQ(TrayIconHandler::UserCount(), 2u);
    // Top-level, so that broadcasts reach it, and never seen.
    EXPECT_EQ(GetParent(window), nullptr);
    EXPECT_EQ(GetAncestor(window, GA_PARENT), GetDesktopWindow());
    EXPECT_FALSE(IsWindowVisible(window));
    // Closing it from outside does not end it.
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window));

    first.reset();
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(TrayIconHandler::UserCount(), 1u);
    second.reset();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(TrayIconHandler::Window(), nullptr);
    // The next icon makes a new one.
    TrayIcon third(nullptr, nullptr);
    EXPECT_TRUE(IsWindow(TrayIconHandler::Window()));
}

// The program's windows: the application window with the taskbar button owns the main one.
class HideToTrayTest : public testing::Test {
  protected:
    void SetUp() override {
        application.Create(GetModuleHandleW(nullptr));
        owner = CreateWindowExW(0, L"STATIC", L"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                                300, 200, application.Handle(), nullptr, nullptr, nullptr);
        ASSERT_NE(owner, nullptr);
        application.SetMainWindow(owner);
        counted = std::make_unique<CountingIcon>(owner, application.Handle());
        Pump();
    }
    void TearDown() override {
        counted.reset();
        DestroyWindow(owner);
        Pump();
    }

    ApplicationWindow application;
    HWND owner = nullptr;
    std::unique_ptr<CountingIcon> counted;
};

TEST_F(HideToTrayTest, HidesTheOwnerAndTheTaskbarButtonUntilTheOwnerIsShown) {
    TrayIcon& icon = counted->icon;
    icon.HideToTray();
    EXPECT_FALSE(IsWindowVisible(owner));
    EXPECT_FALSE(IsWindowVisible(application.Handle()));
    EXPECT_TRUE(icon.IconVisible());
    EXPECT_TRUE(ShellHolds(icon));

    // The program's restore: icon off, the owner shown; the taskbar button comes with it.
    icon.onClick = [&] {
        icon.SetIconVisible(false);
        icon.minimizeToTray = false;
        ShowWindow(owner, SW_SHOW);
    };
    PostClick(icon);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(owner); }));
    EXPECT_TRUE(IsWindowVisible(application.Handle()));
    EXPECT_FALSE(ShellHolds(icon));

    // Minimising the application with MinimizeToTray off leaves the icon alone...
    ShowWindow(application.Handle(), SW_MINIMIZE);
    EXPECT_FALSE(icon.IconVisible());
    ShowWindow(application.Handle(), SW_RESTORE);
    // ...and with it on hides everything to the notification area, also when the system
    // minimises it as the taskbar button does (which it may only with a minimise box).
    icon.minimizeToTray = true;
    EXPECT_TRUE(GetWindowLongPtrW(application.Handle(), GWL_STYLE) & WS_MINIMIZEBOX);
    SendMessageW(application.Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(IsWindowVisible(owner));
    EXPECT_FALSE(IsWindowVisible(application.Handle()));
    EXPECT_TRUE(ShellHolds(icon));
    icon.RestoreOwner();
    EXPECT_TRUE(IsWindowVisible(owner));
    EXPECT_TRUE(IsWindowVisible(application.Handle()));
    EXPECT_FALSE(IsIconic(application.Handle()));
}

TEST_F(HideToTrayTest, MinimisingTheOwnerGoesToItsOwnHandlerOnlyWhenOneIsAssigned) {
    TrayIcon& icon = counted->icon;
    icon.minimizeToTray = true;
    int minimized = 0;
    icon.onMinimizeToTray = [&] { ++minimized; };
    SendMessageW(owner, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_EQ(minimized, 1);
    EXPECT_FALSE(IsIconic(owner));
    EXPECT_FALSE(IsWindowVisible(owner));
    EXPECT_TRUE(icon.IconVisible());

    icon.RestoreOwner();
    icon.onMinimizeToTray = nullptr;
    SendMessageW(owner, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsIconic(owner));
    EXPECT_EQ(minimized, 1);
}

TEST(SimpleTimer, TicksThroughOneSharedWindowThatCountsRunningTimers) {
    EXPECT_EQ(SimpleTimerHandler::Window(), nullptr);
    int ticks = 0;
    auto ticking = std::make_unique<SimpleTimer>(10, [&] { ++ticks; });
    auto idle = std::make_unique<SimpleTimer>();
    const HWND window = SimpleTimerHandler::Window();
    ASSERT_TRUE(IsWindow(window));
    EXPECT_EQ(SimpleTimerHandler::UserCount(), 2u);
    EXPECT_EQ(idle->Interval(), 1000u);
    EXPECT_EQ(SimpleTimerHandler::RunningCount(), 0u);

    ASSERT_TRUE(ticking->Start());
    EXPECT_EQ(SimpleTimerHandler::RunningCount(), 1u);
    ASSERT_TRUE(PumpUntil([&] { return ticks >= 3; }));

    // Interval 0 stops it but leaves it enabled: a new interval goes on ticking.
    ticking->SetInterval(0);
    EXPECT_FALSE(ticking->Running());
    EXPECT_TRUE(ticking->Enabled());
    EXPECT_EQ(SimpleTimerHandler::RunningCount(), 0u);
    ticking->SetInterval(10);
    EXPECT_EQ(SimpleTimerHandler::RunningCount(), 1u);
    const int before = ticks;
    ASSERT_TRUE(PumpUntil([&] { return ticks > before; }));

    // A one-shot timer stops at its first tick.
    int shots = 0;
    idle->SetInterval(10);
    idle->autoDisable = true;
    idle->SetOnTimer([&] { ++shots; });
    ASSERT_TRUE(idle->Start());
    EXPECT_EQ(SimpleTimerHandler::RunningCount(), 2u);
    ASSERT_TRUE(PumpUntil([&] { return shots == 1; }));
    EXPECT_FALSE(idle->Enabled());
    EXPECT_EQ(SimpleTimerHandler::RunningCount(), 1u);

    // Clearing the event stops it; no interval, no start.
    ticking->SetOnTimer(nullptr);
    EXPECT_FALSE(ticking->Enabled());
    EXPECT_EQ(SimpleTimerHandler::RunningCount(), 0u);
    idle->SetInterval(0);
    EXPECT_FALSE(idle->Start());
    EXPECT_FALSE(idle->Running());

    // A running timer that ends stops counting; the window goes with the last timer.
    ASSERT_TRUE(ticking->Start());
    ticking.reset();
    EXPECT_EQ(SimpleTimerHandler::RunningCount(), 0u);
    EXPECT_TRUE(IsWindow(window));
    idle.reset();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(SimpleTimerHandler::Window(), nullptr);
}

} // namespace
