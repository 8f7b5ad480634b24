// The main window, its compact bar and the About box at the DPI Wine runs at (LogPixels, set
// by at-dpi.sh, which names it in TERVANE_TEST_DPI): every control at its 96-DPI place scaled
// by the DPI, every caption whole; a change of DPI lays the window out again. Screenshots go
// to TERVANE_SCREENSHOTS when it names a folder.
#include "MainWindowFixture.h"
#include "MainWindowPlaces.h"
#include "base/Dpi_win.h"
#include "notify/BalloonControl_win.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace tervane;

namespace {

int DpiOfThisRun() {
    const char* named = std::getenv("TERVANE_TEST_DPI");
    return named ? std::atoi(named) : kDesignDpi;
}

void Screenshot(const std::string& name) {
    const std::string file = "dpi-" + std::to_string(DpiOfThisRun()) + "-" + name + ".png";
    EXPECT_TRUE(SaveScreenshot(file)) << file;
}

// A control's place as designed, scaled to `dpi`, as left, top, right, bottom.
RECT DesignedAt(const RECT& place, int dpi) {
    return {ScaleToDpi(place.left, dpi), ScaleToDpi(place.top, dpi), ScaleToDpi(place.right, dpi),
            ScaleToDpi(place.bottom, dpi)};
}

// The room a caption takes in the control's own font, its & prefix drawn as an underline.
SIZE CaptionExtent(HWND control) {
    const std::wstring text = Widen(WindowText(control));
    const HDC dc = GetDC(control);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return {r.right - r.left, r.bottom - r.top};
}

BOOL CALLBACK AddCaptioned(HWND control, LPARAM list) {
    const std::string cls = ClassOf(control);
    if ((cls == "Button" || cls == "Static") && !WindowText(control).empty())
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(control);
    return TRUE;
}

// The window's buttons, check boxes, groups and labels that show a caption, at any depth.
std::vector<HWND> CaptionedControls(HWND window) {
    std::vector<HWND> found;
    EnumChildWindows(window, AddCaptioned, reinterpret_cast<LPARAM>(&found));
    return found;
}

int IconSide(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info))
        return 0;
    BITMAP mask{};
    GetObjectW(info.hbmMask, sizeof(mask), &mask);
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    return mask.bmWidth;
}

class DpiTest : public MainWindowTest {
  protected:
    // Every control within two pixels of its designed place at `dpi`: the sizes the system
    // rounds itself (a list's whole lines, a picker's face) may differ by that much.
    void ExpectControlsAt(int layoutDpi) {
        for (const DesignedControl& e : kMainWindowControls) {
            SCOPED_TRACE(e.name);
            const RECT seen = RectInParent(form->Control(e.control));
            const RECT want = DesignedAt(e.place, layoutDpi);
            EXPECT_NEAR(seen.left, want.left, 2);
            EXPECT_NEAR(seen.top, want.top, 2);
            EXPECT_NEAR(seen.right, want.right, 2);
            EXPECT_NEAR(seen.bottom, want.bottom, 2);
        }
    }
    const int dpi = DpiOfThisRun();
};

TEST_F(DpiTest, TheWindowIsLaidOutForItsDpiWithEveryCaptionWhole) {
    ASSERT_EQ(DpiOfWindow(form->Handle()), dpi) << "the program is DPI aware";
    EXPECT_EQ(form->Dpi(), dpi);
    RECT client;
    GetClientRect(form->Handle(), &client);
    EXPECT_NEAR(client.right, ScaleToDpi(476, dpi), 1);
    EXPECT_NEAR(client.bottom, ScaleToDpi(305, dpi), 1);
    ExpectControlsAt(dpi);
    EXPECT_EQ(SendMessageW(form->Control(ControlId::SourcePicker), CB_GETITEMHEIGHT, 0, 0),
              ScaleToDpi(14, dpi));
    // The caption's icon drawn for its size at this DPI, not the class's 16-pixel one stretched.
    const auto small =
        reinterpret_cast<HICON>(SendMessageW(form->Handle(), WM_GETICON, ICON_SMALL, 0));
    EXPECT_EQ(IconSide(small), SystemMetricAt(SM_CXSMICON, dpi));
    EXPECT_EQ(IconSide(form->Tray().Icon()), SystemMetricAt(SM_CXSMICON, dpi));

    // Every caption of the window fits its control: a button's inside its edges, a check
    // box's beside its box, a group's between its frame's corners, a label's in the label and
    // the label inside the window.
    const int edge = SystemMetricAt(SM_CXEDGE, dpi);
    const int checkBox = SystemMetricAt(SM_CXMENUCHECK, dpi);
    const std::vector<HWND> captioned = CaptionedControls(form->Handle());
    ASSERT_GE(captioned.size(), 18u) << "the groups, buttons, check boxes and labels";
    for (const HWND control : captioned) {
        SCOPED_TRACE(WindowText(control));
        const SIZE text = CaptionExtent(control);
        RECT r;
        GetClientRect(control, &r);
        const LONG style = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
        const bool isButton = ClassOf(control) == "Button";
        const int room = !isButton                  ? r.right
                         : style == BS_GROUPBOX     ? r.right - 2 * ScaleToDpi(8, dpi)
                         : style == BS_AUTOCHECKBOX ? r.right - checkBox - edge
                                                    : r.right - 2 * edge;
        EXPECT_LE(text.cx, room);
        if (style != BS_GROUPBOX || !isButton) {
            EXPECT_LE(text.cy, r.bottom);
        }
        RECT inWindow;
        GetWindowRect(control, &inWindow);
        MapWindowPoints(HWND_DESKTOP, form->Handle(), reinterpret_cast<POINT*>(&inWindow), 2);
        EXPECT_LE(inWindow.right, client.right);
        EXPECT_LE(inWindow.bottom, client.bottom);
    }
    Screenshot("main");
}

TEST_F(DpiTest, TheCompactBarScalesAndShowsBothPickersWhole) {
    RECT full;
    GetWindowRect(form->Handle(), &full);
    form->OnCompactMode();
    Pump(form->Handle());
    RECT bar;
    GetWindowRect(form->Handle(), &bar);
    EXPECT_NEAR(bar.right - bar.left, ScaleToDpi(196, dpi), 1);
    EXPECT_NEAR(bar.bottom - bar.top, ScaleToDpi(82, dpi), 1);
    RECT client;
    GetClientRect(form->Handle(), &client);
    for (ControlId id :
         {ControlId::SourcePicker, ControlId::TargetPicker, ControlId::CompactButton}) {
        RECT r;
        GetWindowRect(form->Control(id), &r);
        MapWindowPoints(HWND_DESKTOP, form->Handle(), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_GE(r.left, 0);
        EXPECT_GE(r.top, 0);
        EXPECT_LE(r.right, client.right);
        EXPECT_LE(r.bottom, client.bottom);
    }
    Screenshot("compact");
    form->OnCompactMode();
    Pump(form->Handle());
    RECT back;
    GetWindowRect(form->Handle(), &back);
    EXPECT_EQ(back.right - back.left, full.right - full.left);
    EXPECT_EQ(back.bottom - back.top, full.bottom - full.top);
}

// What Windows sends when the window is dragged to a monitor of another DPI: the controls are
// placed for the new DPI at the suggested place, and back at the first DPI exactly as before.
TEST_F(DpiTest, ADpiChangeLaysTheWindowOutAgain) {
    const int other = dpi == kDesignDpi ? 144 : kDesignDpi;
    RECT before;
    GetWindowRect(form->Handle(), &before);
    RECT suggested{10, 20, 10 + ScaleToDpi(480, other), 20 + ScaleToDpi(330, other)};
    SendMessageW(form->Handle(), kDpiChangedMessage, MAKEWPARAM(other, other),
                 reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(form->Dpi(), other);
    RECT moved;
    GetWindowRect(form->Handle(), &moved);
    EXPECT_EQ(moved.left, 10);
    EXPECT_EQ(moved.top, 20);
    ExpectControlsAt(other);

    suggested = before;
    SendMessageW(form->Handle(), kDpiChangedMessage, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    RECT back;
    GetWindowRect(form->Handle(), &back);
    EXPECT_EQ(back.left, before.left);
    EXPECT_EQ(back.top, before.top);
    EXPECT_EQ(back.right, before.right);
    EXPECT_EQ(back.bottom, before.bottom);
    ExpectControlsAt(dpi);
}

// The balloon at the DPI of the monitor under its target: its arrow's 20 pixels and its two
// lines of text, title and margins scaled, the tip on the target.
TEST_F(DpiTest, TheBalloonScales) {
    BalloonControl balloons;
    balloons.SetTitle("Tervane");
    balloons.SetText({"The cat sleeps on the sofa. ", "It dreams of mice."});
    balloons.SetPosition(BalloonPosition::ArrowTopRight);
    const POINT target{ScaleToDpi(300, dpi), ScaleToDpi(300, dpi)};
    balloons.SetPixelCoordinateX(target.x);
    balloons.SetPixelCoordinateY(target.y);
    // Shows a balloon, checks its tip on the target, shoots it; its height.
    const auto show = [&](const std::string& name) {
        const HWND balloon = balloons.ShowBalloon();
        Pump();
        RECT frame;
        GetWindowRect(balloon, &frame);
        EXPECT_EQ(frame.left + ScaleToDpi(20, dpi), target.x) << name;
        EXPECT_EQ(frame.bottom, target.y) << name;
        Screenshot(name);
        DestroyWindow(balloon);
        return frame.bottom - frame.top;
    };
    const int height = show("balloon");
    EXPECT_GT(height, ScaleToDpi(60, dpi));
    EXPECT_LT(height, ScaleToDpi(120, dpi));

    // A word's dictionary under the text: the balloon grows by its lines, scaled as well.
    balloons.SetDictionary({"bank (n), bench (n), shore (n)", "to bank (vblex)"});
    EXPECT_GT(show("balloon-dictionary") - height, ScaleToDpi(6 + 2 * 12, dpi));
}

void CALLBACK ShootTheAboutBoxAndClose(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = FindWindowW(L"TervaneAboutBox", L"About");
    if (!box || !IsWindowVisible(box))
        return;
    KillTimer(nullptr, id);
    RECT client;
    GetClientRect(box, &client);
    EXPECT_NEAR(client.right, ScaleToDpi(310, DpiOfThisRun()), 1);
    EXPECT_NEAR(client.bottom, ScaleToDpi(251, DpiOfThisRun()), 1);
    Pump();
    Screenshot("about");
    SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
}

TEST_F(DpiTest, TheAboutBoxScales) {
    SetTimer(nullptr, 0, 50, ShootTheAboutBoxAndClose);
    SendMessageW(form->Control(ControlId::AboutButton), BM_CLICK, 0, 0); // returns when closed
}

} // namespace
