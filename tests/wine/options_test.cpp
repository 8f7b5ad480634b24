// The options panel on Wine's real windows: the transparency the slider gives the window
// (as the X display sees it), compact mode both ways, and the About box.
#include "MainWindowFixture.h"
#include "base/AppIdentity.h"
#include "translate/TranslationLog_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace tervane;

namespace {

class OptionsTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        SetForegroundWindow(form->Handle());
        Pump(form->Handle());
    }

    HWND Main() { return form->Handle(); }
    HWND Control(ControlId id) { return form->Control(id); }
    RECT Frame() {
        RECT r;
        GetWindowRect(Main(), &r);
        return r;
    }
    LONG ExStyle() { return GetWindowLongW(Main(), GWL_EXSTYLE); }
};

// _NET_WM_WINDOW_OPACITY of the main window's X window, the way Wine's X11 driver shows a
// layered window's opacity ("not found" when the window is opaque).
std::string OpacityOnTheDisplay() {
    const auto out = RunOnLinux("xprop -id $(xdotool search --name '^Tervane 5.1$' | head -n 1) "
                                "_NET_WM_WINDOW_OPACITY");
    return out.value_or("xprop did not answer");
}

TEST_F(OptionsTest, SliderAtEightIsHalfTransparentAndAtSixteenOpaque) {
    HWND slider = Control(ControlId::TransparencySlider);
    SetFocus(slider);
    for (int i = 0; i < 8; ++i)
        PressKey(VK_LEFT);
    ASSERT_TRUE(PumpUntil(Main(), [&] { return SendMessageW(slider, TBM_GETPOS, 0, 0) == 8; }));
    EXPECT_TRUE(ExStyle() & WS_EX_LAYERED);
    // Opacity 128 of 255, as a fraction of 0xFFFFFFFF.
    EXPECT_NE(OpacityOnTheDisplay().find("= 2155905152"), std::string::npos)
        << OpacityOnTheDisplay();

    PressKey(VK_END);
    ASSERT_TRUE(PumpUntil(Main(), [&] { return SendMessageW(slider, TBM_GETPOS, 0, 0) == 16; }));
    EXPECT_FALSE(ExStyle() & WS_EX_LAYERED) << "transparency off rather than 16 times 16";
    EXPECT_NE(OpacityOnTheDisplay().find("not found"), std::string::npos) << OpacityOnTheDisplay();
}

TEST_F(OptionsTest, CompactModeTwiceReturnsToTheFullWindow) {
    const ControlId hidden[] = {ControlId::HotKeyGroup, ControlId::HotKeysInUseGroup,
                                ControlId::TransparencyGroup, ControlId::OptionsGroup};
    HWND language = Control(ControlId::LanguageGroup);
    HWND button = Control(ControlId::CompactButton);
    const RECT full = Frame();
    RECT fullClient;
    GetClientRect(Main(), &fullClient);
    auto clickCompactButton = [&] {
        ClickAt(button, {16, 16});
        const bool wasCompact = Frame().right - Frame().left == 196;
        return PumpUntil(Main(), [&] {
            return IsWindowVisible(Main()) && (Frame().right - Frame().left == 196) != wasCompact;
        });
    };

    ASSERT_TRUE(clickCompactButton());
    RECT bar = Frame();
    EXPECT_EQ(bar.right - bar.left, 196);
    EXPECT_EQ(bar.bottom - bar.top, 82);
    EXPECT_EQ(bar.left, full.left) << "the top-left corner stays";
    EXPECT_EQ(bar.top, full.top);
    for (ControlId id : hidden)
        EXPECT_FALSE(IsWindowVisible(Control(id)));
    EXPECT_EQ(RectInParent(language).left, -7);
    EXPECT_EQ(RectInParent(language).top, -14);
    EXPECT_TRUE(ExStyle() & WS_EX_TOPMOST);
    EXPECT_TRUE(ExStyle() & WS_EX_TOOLWINDOW);
    // Only the pickers and the button are in view.
    RECT client;
    GetClientRect(Main(), &client);
    RECT picker = RectInParent(Control(ControlId::TargetPicker));
    EXPECT_LE(-7 + picker.left + 113, client.right);

    ASSERT_TRUE(clickCompactButton());
    const RECT back = Frame();
    // The starting frame, whatever the system's frame metrics made of it.
    EXPECT_EQ(back.right - back.left, full.right - full.left);
    EXPECT_EQ(back.bottom - back.top, full.bottom - full.top);
    RECT backClient;
    GetClientRect(Main(), &backClient);
    EXPECT_EQ(backClient.right, fullClient.right);
    EXPECT_EQ(backClient.bottom, fullClient.bottom);
    EXPECT_EQ(back.left, full.left);
    EXPECT_EQ(back.top, full.top);
    for (ControlId id : hidden)
        EXPECT_TRUE(IsWindowVisible(Control(id)));
    EXPECT_EQ(RectInParent(language).left, 264);
    EXPECT_EQ(RectInParent(language).top, 8);
    EXPECT_FALSE(ExStyle() & WS_EX_TOPMOST);
    EXPECT_FALSE(ExStyle() & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(ExStyle() & WS_EX_DLGMODALFRAME);
}

// What a timer saw of the About box while it was up, before it pressed OK.
struct AboutSeen {
    HWND box = nullptr;
    bool ownerEnabled = true;
    RECT client{};
    RECT frame{};
    std::vector<std::string> texts;
} seen;

BOOL CALLBACK CollectText(HWND child, LPARAM) {
    seen.texts.push_back(WindowText(child));
    return TRUE;
}

void CALLBACK LookAndPressOk(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = FindWindowW(L"TervaneAboutBox", L"About");
    if (!box || !IsWindowVisible(box))
        return;
    KillTimer(nullptr, id);
    seen.box = box;
    seen.ownerEnabled = IsWindowEnabled(GetWindow(box, GW_OWNER));
    GetClientRect(box, &seen.client);
    GetWindowRect(box, &seen.frame);
    seen.texts.clear();
    EnumChildWindows(box, CollectText, 0);
    SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
}

TEST_F(OptionsTest, AboutBoxIsModalOverTheWindowAndNewAtEachClick) {
    for (int click = 0; click < 2; ++click) {
        seen = {};
        SetTimer(nullptr, 0, 50, LookAndPressOk);
        SendMessageW(Control(ControlId::AboutButton), BM_CLICK, 0, 0); // returns when closed
        ASSERT_NE(seen.box, nullptr);
        EXPECT_FALSE(seen.ownerEnabled) << "the main window waits for the box";
        EXPECT_FALSE(IsWindow(seen.box)) << "destroyed when closed";
        EXPECT_TRUE(IsWindowEnabled(Main()));
        EXPECT_EQ(seen.client.right, 310);
        EXPECT_EQ(seen.client.bottom, 251);
        const RECT main = Frame();
        EXPECT_NEAR((seen.frame.left + seen.frame.right) / 2, (main.left + main.right) / 2, 1);
        EXPECT_NEAR((seen.frame.top + seen.frame.bottom) / 2, (main.top + main.bottom) / 2, 1);
        EXPECT_NE(std::find(seen.texts.begin(), seen.texts.end(), "Version: 5.1"),
                  seen.texts.end());
        EXPECT_NE(std::find(seen.texts.begin(), seen.texts.end(), CopyrightNotice()),
                  seen.texts.end());
    }
}

// Minimize hides the window to the notification area; a person's click on the icon brings
// it back and removes the icon. The hotkeys stay registered all along.
TEST_F(OptionsTest, MinimizeHidesToTheIconAndAClickOnItBringsTheWindowBack) {
    const auto hotKeys = form->HotKeys().Registrations().size();
    SendMessageW(Control(ControlId::MinimizeButton), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil(Main(), [&] { return !IsWindowVisible(Main()); }));
    HWND area = nullptr;
    ASSERT_TRUE(PumpUntil(Main(), [&] {
        area = FindWindowW(L"__winex11_standalone_tray", nullptr);
        return area && IsWindowVisible(area);
    })) << "the icon is shown";
    EXPECT_EQ(form->HotKeys().Registrations().size(), hotKeys);
    EXPECT_FALSE(HotKeyAvailable(0x607B)) << "Ctrl+Shift+F12 is still ours";

    ClickAt(area, {8, 8});
    ASSERT_TRUE(PumpUntil(Main(), [&] { return IsWindowVisible(Main()) != FALSE; }));
    EXPECT_TRUE(PumpUntil(Main(), [&] { return !IsWindowVisible(area); })) << "the icon is gone";
    EXPECT_EQ(form->HotKeys().Registrations().size(), hotKeys);
}

// Answers the next popup menu of this thread as a person would, by an item's underlined
// letter, and keeps the texts of the items it showed. The menu runs its own message loop,
// in which a timer of the thread still ticks.
class MenuAnswer {
  public:
    explicit MenuAnswer(wchar_t key) {
        current = this;
        key_ = key;
        timer_ = SetTimer(nullptr, 0, 50, Tick);
    }
    ~MenuAnswer() {
        KillTimer(nullptr, timer_);
        current = nullptr;
    }
    std::vector<std::string> items;

  private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        const HWND menuWindow = FindWindowW(L"#32768", nullptr);
        if (!current || !current->items.empty() || !menuWindow || !IsWindowVisible(menuWindow))
            return;
        const auto menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            wchar_t text[64] = {};
            GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
            current->items.push_back(Narrow(text));
        }
        PostMessageW(menuWindow, WM_CHAR, current->key_, 0);
    }
    static inline MenuAnswer* current = nullptr;
    wchar_t key_;
    UINT_PTR timer_;
};

// A right click on the icon opens its menu: the window back, or the end of the program.
TEST_F(OptionsTest, TheIconsMenuBringsTheWindowBackOrEndsTheProgram) {
    const auto rightClick = [&] {
        const TrayIcon& icon = form->Tray();
        for (const UINT message : {WM_RBUTTONDOWN, WM_RBUTTONUP})
            PostMessageW(icon.NotifyData().hWnd, kTrayIconCallbackMessage, icon.Identifier(),
                         message);
    };
    SendMessageW(Control(ControlId::MinimizeButton), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil(Main(), [&] { return !IsWindowVisible(Main()); }));
    {
        MenuAnswer show(L's');
        rightClick();
        ASSERT_TRUE(PumpUntil(Main(), [&] { return IsWindowVisible(Main()) != FALSE; }));
        EXPECT_EQ(show.items, (std::vector<std::string>{"&Show Tervane", "", "E&xit"}));
        EXPECT_FALSE(form->Tray().IconVisible()) << "the icon goes as after a click";
    }

    SendMessageW(Control(ControlId::MinimizeButton), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil(Main(), [&] { return !IsWindowVisible(Main()); }));
    MenuAnswer exit(L'x');
    const HWND main = Main();
    rightClick();
    EXPECT_TRUE(PumpUntil(nullptr, [&] { return !IsWindow(main); })) << "closed as by E&xit";
    EXPECT_EQ(exit.items.size(), 3u);
    ForgetSettings(); // the close saved them
}

// Switching logging on makes the log with its banner when there is none, once.
TEST_F(OptionsTest, SwitchingLoggingOnCreatesTheBannerOnce) {
    const std::wstring path = Widen(TranslationLogPath());
    DeleteFileW(path.c_str());
    HWND box = Control(ControlId::LogToFileBox);
    auto contents = [&] {
        std::string bytes;
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return std::string("(none)");
        char buffer[4096];
        DWORD read = 0;
        while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
            bytes.append(buffer, read);
        CloseHandle(file);
        return bytes;
    };
    const std::string banner = "***************************\r\n*     Pellori Wordkit     *\r\n"
                               "***************************\r\n\r\n";
    SendMessageW(box, BM_CLICK, 0, 0); // on: created
    EXPECT_EQ(contents(), banner);
    SendMessageW(box, BM_CLICK, 0, 0); // off: left alone
    EXPECT_EQ(contents(), banner);
    SendMessageW(box, BM_CLICK, 0, 0); // on again: already there
    EXPECT_EQ(contents(), banner);
    DeleteFileW(path.c_str());
}

} // namespace
