// The main window with the real controls of Wine's user32 and comctl32, driven in-process.
#include "MainWindowFixture.h"
#include "MainWindowPlaces.h"
#include "protocol/Languages.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <utility>

using namespace tervane;

using namespace tervane::protocol;

namespace {

class MainFormTest : public MainWindowTest {
  protected:
    int Position(HWND picker) { return Picker(picker).Position(); }
};

bool PickerFontIsTahoma(HWND picker) {
    HDC dc = GetDC(picker);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(picker, WM_GETFONT, 0, 0)));
    wchar_t face[64] = {};
    GetTextFaceW(dc, 64, face);
    SelectObject(dc, old);
    ReleaseDC(picker, dc);
    return std::wstring(face) == L"Tahoma";
}

TEST_F(MainFormTest, WindowAndEveryControlAreWhereAndWhatTheyShouldBe) {
    HWND main = form->Handle();
    EXPECT_EQ(WindowText(main), "Tervane 5.1");
    RECT client;
    GetClientRect(main, &client);
    EXPECT_EQ(client.right, 476);
    EXPECT_EQ(client.bottom, 305);
    const LONG style = GetWindowLongW(main, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_THICKFRAME) << "dialog border: not resizable";
    EXPECT_FALSE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    RECT frame;
    GetWindowRect(main, &frame);
    EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
    EXPECT_NE(GetClassLongPtrW(main, GCLP_HICON), 0u) << "the program's icon";

    for (const DesignedControl& e : kMainWindowControls) {
        SCOPED_TRACE(e.name);
        HWND h = form->Control(e.control);
        ASSERT_TRUE(IsWindow(h));
        HWND parent = e.parent == ControlId{} ? main : form->Control(e.parent);
        EXPECT_EQ(GetParent(h), parent);
        EXPECT_EQ(ClassOf(h), e.cls);
        if (e.caption) {
            EXPECT_EQ(WindowText(h), e.caption);
        }
        EXPECT_TRUE(IsWindowVisible(h));
        EXPECT_TRUE(IsWindowEnabled(h));
        const RECT r = RectInParent(h);
        EXPECT_EQ(r.left, e.place.left);
        EXPECT_EQ(r.top, e.place.top);
        EXPECT_EQ(r.right, e.place.right);
        EXPECT_EQ(r.bottom, e.place.bottom);
        if (e.cls == std::string("ComboBox")) {
            EXPECT_TRUE(PickerFontIsTahoma(h)) << "Wine's own Tahoma is in the prefix";
        }
    }

    // Labels: left and top are fixed, the size follows the text.
    EXPECT_EQ(WindowText(form->Control(ControlId::SelectTextLabel)),
              "Select text from anywhere on screen, ");
    EXPECT_EQ(WindowText(form->Control(ControlId::PressHotKeyLabel)),
              "Press the HotKey to translate your selected text.");
    EXPECT_EQ(WindowText(form->Control(ControlId::CopyrightLabel)).rfind("Copyright \u00A9 20", 0),
              0u)
        << WindowText(form->Control(ControlId::CopyrightLabel));
    EXPECT_NE(WindowText(form->Control(ControlId::CopyrightLabel)).find("Vellmark"),
              std::string::npos);
    EXPECT_EQ(RectInParent(form->Control(ControlId::SelectTextLabel)).left, 9);
    EXPECT_EQ(RectInParent(form->Control(ControlId::SelectTextLabel)).top, 239);
    EXPECT_EQ(RectInParent(form->Control(ControlId::PressHotKeyLabel)).top, 256);
    EXPECT_EQ(RectInParent(form->Control(ControlId::CopyrightLabel)).top, 285);
    for (HWND label :
         {form->Control(ControlId::SelectTextLabel), form->Control(ControlId::PressHotKeyLabel),
          form->Control(ControlId::CopyrightLabel)}) {
        const RECT r = RectInParent(label);
        EXPECT_GT(r.right - r.left, 100) << WindowText(label) << ": as wide as its text";
        EXPECT_GT(r.bottom - r.top, 8);
    }

    // Initial states.
    EXPECT_EQ(SendMessageW(form->Control(ControlId::HotKeyEntry), HKM_GETHOTKEY, 0, 0), 0);
    EXPECT_EQ(SendMessageW(form->Control(ControlId::HotKeyList), LB_GETCOUNT, 0, 0), 1)
        << "the default hotkey";
    EXPECT_EQ(SendMessageW(form->Control(ControlId::HotKeyList), LB_GETITEMHEIGHT, 0, 0), 13);
    EXPECT_EQ(SendMessageW(form->Control(ControlId::TransparencySlider), TBM_GETRANGEMIN, 0, 0), 4);
    EXPECT_EQ(SendMessageW(form->Control(ControlId::TransparencySlider), TBM_GETRANGEMAX, 0, 0),
              16);
    EXPECT_EQ(SendMessageW(form->Control(ControlId::TransparencySlider), TBM_GETPOS, 0, 0), 16);
    EXPECT_EQ(SendMessageW(form->Control(ControlId::FreezeBox), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(form->Control(ControlId::CopyToClipboardBox), BM_GETCHECK, 0, 0),
              BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(form->Control(ControlId::LogToFileBox), BM_GETCHECK, 0, 0),
              BST_UNCHECKED);
}

TEST_F(MainFormTest, TabOrderRunsThroughTheGroupsThenTheButtons) {
    const HWND expected[] = {
        form->Control(ControlId::HotKeyEntry),  form->Control(ControlId::AddButton),
        form->Control(ControlId::HotKeyList),   form->Control(ControlId::RemoveButton),
        form->Control(ControlId::ClearButton),  form->Control(ControlId::SourcePicker),
        form->Control(ControlId::TargetPicker), form->Control(ControlId::TransparencySlider),
        form->Control(ControlId::FreezeBox),    form->Control(ControlId::CopyToClipboardBox),
        form->Control(ControlId::LogToFileBox), form->Control(ControlId::ViewLogButton),
        form->Control(ControlId::AboutButton),  form->Control(ControlId::MinimizeButton),
        form->Control(ControlId::ExitButton),   form->Control(ControlId::HotKeyEntry)};
    HWND main = form->Handle();
    HWND current = GetNextDlgTabItem(main, nullptr, FALSE);
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(current, expected[i])
            << "tab stop " << i << " is " << WindowText(current) << " (" << ClassOf(current) << ")";
        current = GetNextDlgTabItem(main, current, FALSE);
    }
}

TEST_F(MainFormTest, PickersHoldTheWholeTableAndOpenWithoutScrolling) {
    for (HWND picker :
         {form->Control(ControlId::SourcePicker), form->Control(ControlId::TargetPicker)}) {
        ASSERT_EQ(SendMessageW(picker, CB_GETCOUNT, 0, 0), kLanguageCount);
        EXPECT_EQ(SendMessageW(picker, CB_GETITEMHEIGHT, 0, 0), 14);
        for (int i = 0; i < kLanguageCount; ++i) {
            wchar_t text[64] = {};
            SendMessageW(picker, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            EXPECT_EQ(Narrow(text), LanguageTable()[static_cast<size_t>(i)].name);
        }
        SendMessageW(picker, CB_SHOWDROPDOWN, TRUE, 0);
        Pump(form->Handle());
        COMBOBOXINFO info{};
        info.cbSize = sizeof(info);
        ASSERT_TRUE(GetComboBoxInfo(picker, &info));
        RECT list;
        GetClientRect(info.hwndList, &list);
        EXPECT_GE(list.bottom, kLanguageCount * 14) << "all 54 rows visible at once";
        SendMessageW(picker, CB_SHOWDROPDOWN, FALSE, 0);
    }
    EXPECT_EQ(form->PickerText(form->Control(ControlId::SourcePicker)), "French");
    EXPECT_EQ(form->PickerText(form->Control(ControlId::TargetPicker)), "English");
    EXPECT_EQ(SendMessageW(form->Control(ControlId::SourcePicker), CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendMessageW(form->Control(ControlId::TargetPicker), CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(form->SourceCode(), "FR");
    EXPECT_EQ(form->TargetCode(), "EN");
}

// The pixel rows from `top` to `bottom` (exclusive) of a bitmap that hold a colour other than
// `background` right of x = 18 (the name's column), as the first and the last; {-1, -1} when
// none does.
std::pair<int, int> InkRows(HDC dc, int width, int top, int bottom, COLORREF background) {
    int first = -1, last = -1;
    for (int y = top; y < bottom; ++y)
        for (int x = 18; x < width; ++x)
            if (GetPixel(dc, x, y) != background) {
                first = first < 0 ? y : first;
                last = y;
                break;
            }
    return {first, last};
}

// Flags and names are taller than the 14-pixel rows: each row is drawn clipped to itself, so
// that no row paints over its neighbours, with every name whole inside it ("Japanese" with
// its J's hook, "Portuguese" with its g), centred.
TEST_F(MainFormTest, EachRowHoldsItsWholeFlagAndName) {
    const HWND picker = form->Control(ControlId::SourcePicker);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(picker, WM_GETFONT, 0, 0));
    constexpr int kWidth = 140, kHeight = 34, kTop = 10, kRow = 14;
    const HDC screen = GetDC(nullptr);
    const HDC item = CreateCompatibleDC(screen);
    const HDC reference = CreateCompatibleDC(screen);
    const HBITMAP itemBitmap = CreateCompatibleBitmap(screen, kWidth, kHeight);
    const HBITMAP referenceBitmap = CreateCompatibleBitmap(screen, kWidth, kHeight);
    ReleaseDC(nullptr, screen);
    const HGDIOBJ oldItem = SelectObject(item, itemBitmap);
    const HGDIOBJ oldReference = SelectObject(reference, referenceBitmap);
    const RECT whole{0, 0, kWidth, kHeight};
    const COLORREF unpainted = RGB(255, 0, 255);
    const HBRUSH magenta = CreateSolidBrush(unpainted);
    for (int row = 0; row < kLanguageCount; ++row) {
        const std::wstring name = Widen(LanguageTable()[static_cast<size_t>(row)].name);
        SCOPED_TRACE(Narrow(name));
        // The row as the picker has the window draw it, into spare rows above and below.
        FillRect(item, &whole, magenta);
        DRAWITEMSTRUCT draw{};
        draw.CtlType = ODT_COMBOBOX;
        draw.CtlID = static_cast<UINT>(ControlId::SourcePicker);
        draw.itemID = static_cast<UINT>(row);
        draw.itemAction = ODA_DRAWENTIRE;
        draw.hwndItem = picker;
        draw.hDC = item;
        draw.rcItem = {0, kTop, 113, kTop + kRow};
        SendMessageW(form->Handle(), WM_DRAWITEM, draw.CtlID, reinterpret_cast<LPARAM>(&draw));
        for (int y = 0; y < kHeight; ++y) {
            if (y >= kTop && y < kTop + kRow)
                continue;
            for (int x = 0; x < kWidth; ++x)
                ASSERT_EQ(GetPixel(item, x, y), unpainted) << "painted outside its row at " << y;
        }
        const auto [first, last] =
            InkRows(item, 113, kTop, kTop + kRow, GetPixel(item, 111, kTop + 7));

        // The same name drawn whole, with nothing to cut it.
        FillRect(reference, &whole, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        const HGDIOBJ oldFont = SelectObject(reference, font);
        TextOutW(reference, 18, 5, name.c_str(), static_cast<int>(name.size()));
        SelectObject(reference, oldFont);
        const auto [whole1, whole2] = InkRows(reference, kWidth, 0, kHeight, RGB(255, 255, 255));
        ASSERT_GE(whole1, 0);

        EXPECT_EQ(last - first, whole2 - whole1) << "rows of the name cut off";
        EXPECT_LE(std::abs((first - kTop) - (kTop + kRow - 1 - last)), 2) << "not centred";
    }
    SelectObject(item, oldItem);
    SelectObject(reference, oldReference);
    DeleteObject(itemBitmap);
    DeleteObject(referenceBitmap);
    DeleteObject(magenta);
    DeleteDC(item);
    DeleteDC(reference);
}

TEST_F(MainFormTest, PickingARowSetsItsCode) {
    Pick(ControlId::TargetPicker, 12);
    EXPECT_EQ(form->TargetCode(), "ZH-TW");
    EXPECT_EQ(form->PickerText(form->Control(ControlId::TargetPicker)), "Chinese(T)");
    Pick(ControlId::SourcePicker, 6);
    Pick(ControlId::TargetPicker, 15);
    EXPECT_EQ(form->SourceCode(), "NL");
    EXPECT_EQ(form->TargetCode(), "NL");
    EXPECT_EQ(form->PickerText(form->Control(ControlId::SourcePicker)),
              form->PickerText(form->Control(ControlId::TargetPicker)));

    // No selection leaves the code as it was; the face is then empty.
    Pick(ControlId::SourcePicker, -1);
    EXPECT_EQ(form->SourceCode(), "NL");
    EXPECT_EQ(form->PickerText(form->Control(ControlId::SourcePicker)), "");
}

TEST_F(MainFormTest, ClicksOnTheLanguageGroupSwapButClicksOnItsControlsDoNot) {
    HWND group = form->Control(ControlId::LanguageGroup);
    SetForegroundWindow(form->Handle());
    Pump(form->Handle());

    ClickAt(group, {100, 74}); // empty area below the pickers
    ASSERT_TRUE(PumpUntil(form->Handle(),
                          [&] { return Position(form->Control(ControlId::SourcePicker)) == 0; }));
    EXPECT_EQ(Position(form->Control(ControlId::TargetPicker)), 1);
    EXPECT_EQ(form->SourceCode(), "EN");
    EXPECT_EQ(form->TargetCode(), "FR");

    ClickAt(group, {40, 3}); // the caption
    ASSERT_TRUE(PumpUntil(form->Handle(),
                          [&] { return Position(form->Control(ControlId::SourcePicker)) == 1; }));
    EXPECT_EQ(Position(form->Control(ControlId::TargetPicker)), 0);
    EXPECT_EQ(form->SourceCode(), "FR");
    EXPECT_EQ(form->TargetCode(), "EN");

    // The compact-mode button and a picker are not the group.
    ClickAt(group, {160, 44});
    Pump(form->Handle());
    EXPECT_EQ(Position(form->Control(ControlId::SourcePicker)), 1);
    EXPECT_EQ(Position(form->Control(ControlId::TargetPicker)), 0);
    ClickAt(group, {60, 30});
    ASSERT_TRUE(PumpUntil(form->Handle(), [&] {
        return SendMessageW(form->Control(ControlId::SourcePicker), CB_GETDROPPEDSTATE, 0, 0);
    })) << "a click on the picker opens its list";
    EXPECT_EQ(Position(form->Control(ControlId::TargetPicker)), 0) << "and swaps nothing";
    EXPECT_EQ(form->TargetCode(), "EN");
    SendMessageW(form->Control(ControlId::SourcePicker), CB_SHOWDROPDOWN, FALSE, 0);
}

TEST_F(MainFormTest, AnErrorInAHandlerIsReportedAndTheWindowGoesOn) {
    MessageBoxRecorder boxes;
    RunGuarded(form->Handle(), [] { throw std::runtime_error("Disk full"); });
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "Tervane");
    EXPECT_EQ(boxes.boxes[0].text, "Disk full.");
    EXPECT_EQ(boxes.boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(boxes.boxes[0].owner, form->Handle());

    RunGuarded(form->Handle(), [] { throw std::runtime_error("Stop!"); });
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].text, "Stop!");

    Pick(ControlId::TargetPicker, 3);
    EXPECT_EQ(form->TargetCode(), "ES") << "the window still handles its messages";
}

// The three ways to close all take the one close path and end the message loop.
TEST_F(MainFormTest, ExitButtonCloseBoxAndAltF4CloseTheWindow) {
    auto closed = [](MainWindow& f) {
        HWND h = f.Handle();
        return PumpUntil(nullptr, [&] { return !IsWindow(h); });
    };
    SendMessageW(form->Control(ControlId::ExitButton), BM_CLICK, 0, 0);
    EXPECT_TRUE(closed(*form));

    form = std::make_unique<MainWindow>(hotKeyModule->Codec());
    form->Create(GetModuleHandleW(nullptr));
    form->Show(SW_SHOW);
    SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); // the close box
    EXPECT_TRUE(closed(*form));

    form = std::make_unique<MainWindow>(hotKeyModule->Codec());
    form->Create(GetModuleHandleW(nullptr));
    form->Show(SW_SHOW);
    // Alt+F4 on a control: the default handling turns it into the close command.
    SendMessageW(form->Handle(), WM_SYSKEYDOWN, VK_F4, 1 << 29);
    EXPECT_TRUE(closed(*form));

    form = std::make_unique<MainWindow>(hotKeyModule->Codec());
    form->Create(GetModuleHandleW(nullptr));
    form->Show(SW_SHOW);
    // Alt+X, as the message loop hands it to the dialog manager.
    MSG alt{};
    alt.hwnd = GetFocus();
    alt.message = WM_SYSCHAR;
    alt.wParam = 'x';
    alt.lParam = 1 << 29;
    EXPECT_TRUE(IsDialogMessageW(form->Handle(), &alt));
    EXPECT_TRUE(closed(*form));
}

// A real modal box, closed by a timer as a person would press OK: the window is
// deactivated and activated again around it.
void CALLBACK PressOkOnTheBox(HWND, UINT, UINT_PTR id, DWORD) {
    if (HWND shown = FindWindowW(L"#32770", nullptr)) {
        KillTimer(nullptr, id);
        PostMessageW(shown, WM_COMMAND, IDOK, 0);
    }
}

int ShowRealBoxAndCloseIt(const MessageBoxRequest& box) {
    SetTimer(nullptr, 0, 300, PressOkOnTheBox);
    return MessageBoxW(box.owner, Widen(box.text).c_str(), Widen(box.caption).c_str(), box.type);
}

// A dialog keeps its place in the keyboard order: across a switch to another window and
// back, after a warning box, and when the "Language" frame is double-clicked.
TEST_F(MainFormTest, KeyboardFocusStaysWhereTheUserLeftIt) {
    HWND main = form->Handle();
    SetForegroundWindow(main);
    Pump(main);

    HWND source = form->Control(ControlId::SourcePicker);
    SetFocus(source);
    HWND other = CreateWindowExW(0, L"STATIC", L"Another program", WS_POPUP | WS_VISIBLE, 0, 0, 100,
                                 50, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    ASSERT_TRUE(PumpUntil(main, [&] { return GetActiveWindow() == other; }));
    SetForegroundWindow(main);
    ASSERT_TRUE(PumpUntil(main, [&] { return GetActiveWindow() == main; }));
    EXPECT_EQ(GetFocus(), source) << "back on the source picker";
    DestroyWindow(other);

    HWND add = form->Control(ControlId::AddButton);
    SetFocus(add);
    auto previous = SetMessageBoxHook(ShowRealBoxAndCloseIt);
    SendMessageW(add, BM_CLICK, 0, 0); // nothing entered: "No hotkey specified."
    SetMessageBoxHook(std::move(previous));
    Pump(main);
    EXPECT_EQ(GetFocus(), add) << "back on Add after the warning box";

    HWND target = form->Control(ControlId::TargetPicker);
    SetFocus(target);
    HWND group = form->Control(ControlId::LanguageGroup);
    ClickAt(group, {100, 74});
    ClickAt(group, {100, 74}); // the second press arrives as a double-click
    Pump(main);
    EXPECT_EQ(Position(source), 1) << "two clicks, two swaps";
    EXPECT_EQ(Position(target), 0);
    EXPECT_EQ(GetFocus(), target) << "the frame never takes the focus";
}

} // namespace
