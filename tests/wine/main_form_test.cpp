// The main window with the real controls of Wine's user32 and comctl32, driven in-process.
#include "app/Languages.h"
#include "app/MainForm_win.h"
#include "WineTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

namespace {

class MainFormTest : public testing::Test {
  protected:
    void SetUp() override {
        HotKeyModuleStartWin();
        form = std::make_unique<TMainForm>();
        form->Create(GetModuleHandleW(nullptr));
        form->Show(SW_SHOW);
        Pump(form->Handle());
    }
    void TearDown() override {
        form.reset();
        Pump();
        HotKeyModuleEndWin();
    }

    // A user's pick: the picker moves, then tells its parent as a real pick does.
    void Pick(HWND picker, int position) {
        SendMessageW(picker, CB_SETCURSEL, position, 0);
        SendMessageW(GetParent(picker), WM_COMMAND,
                     MAKEWPARAM(GetDlgCtrlID(picker), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(picker));
    }
    int Position(HWND picker) { return static_cast<int>(SendMessageW(picker, CB_GETCURSEL, 0, 0)); }

    std::unique_ptr<TMainForm> form;
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

struct Expected {
    const char* name;
    HWND TMainForm::*control;
    HWND TMainForm::*parent; // nullptr: the main window itself
    const char* cls;
    const char* caption;
    RECT place; // left, top, right, bottom in the parent's client coordinates
};

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

    using F = TMainForm;
    const Expected controls[] = {
        {"GroupBox1", &F::GroupBox1, nullptr, "Button", "Add a HotKey", {8, 8, 249, 63}},
        {"HotKey1", &F::HotKey1, &F::GroupBox1, "msctls_hotkey32", "", {12, 22, 153, 43}},
        {"BtnAdd", &F::BtnAdd, &F::GroupBox1, "Button", "Add", {164, 21, 229, 44}},
        {"GroupBox4", &F::GroupBox4, nullptr, "Button", "HotKey in Use", {8, 72, 249, 233}},
        {"ListBox1", &F::ListBox1, &F::GroupBox4, "ListBox", "", {12, 22, 153, 143}},
        {"BtnRemove", &F::BtnRemove, &F::GroupBox4, "Button", "Remove", {164, 21, 229, 44}},
        {"BtnClear", &F::BtnClear, &F::GroupBox4, "Button", "Clear all", {164, 49, 229, 72}},
        {"GroupBox5", &F::GroupBox5, nullptr, "Button", "Language", {264, 8, 465, 89}},
        {"wl_srclang", &F::wl_srclang, &F::GroupBox5, "ComboBox", nullptr, {16, 21, 129, 41}},
        {"wl_trglang", &F::wl_trglang, &F::GroupBox5, "ComboBox", nullptr, {16, 45, 129, 65}},
        {"SpeedButton1", &F::SpeedButton1, &F::GroupBox5, "Button", "", {144, 28, 176, 60}},
        {"GroupBox6", &F::GroupBox6, nullptr, "Button", "Transparency", {264, 99, 465, 164}},
        {"TrackBar1", &F::TrackBar1, &F::GroupBox6, "msctls_trackbar32", "", {8, 24, 185, 57}},
        {"GroupBox7", &F::GroupBox7, nullptr, "Button", "Options", {264, 168, 465, 268}},
        {"CheckBox5", &F::CheckBox5, &F::GroupBox7, "Button",
         "Freeze && wait for translation result", {8, 21, 193, 38}},
        {"CheckBox6", &F::CheckBox6, &F::GroupBox7, "Button", "Copy translation result to clipboard",
         {8, 45, 196, 62}},
        {"CheckBox7", &F::CheckBox7, &F::GroupBox7, "Button", "Log translation results to file",
         {8, 69, 161, 86}},
        {"Button2", &F::Button2, &F::GroupBox7, "Button", "...", {164, 63, 187, 86}},
        {"Button3", &F::Button3, nullptr, "Button", "&About", {240, 275, 305, 298}},
        {"Button1", &F::Button1, nullptr, "Button", "&Minimize", {320, 275, 385, 298}},
        {"BtnExit", &F::BtnExit, nullptr, "Button", "E&xit", {400, 275, 465, 298}},
    };
    for (const Expected& e : controls) {
        SCOPED_TRACE(e.name);
        HWND h = form.get()->*e.control;
        ASSERT_TRUE(IsWindow(h));
        HWND parent = e.parent ? form.get()->*e.parent : main;
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
        if (e.cls == std::string("ComboBox") && !PickerFontIsTahoma(h)) {
            // A stand-in font taller than Tahoma's 12 pixels makes the closed face taller.
            EXPECT_LE(r.bottom - r.top, 24);
        } else {
            EXPECT_EQ(r.bottom, e.place.bottom);
        }
    }

    // Labels: left and top are fixed, the size follows the text.
    EXPECT_EQ(WindowText(form->Label1), "Select text from anywhere on screen, ");
    EXPECT_EQ(WindowText(form->Label3), "Press the HotKey to translate your selected text.");
    EXPECT_EQ(WindowText(form->Label4).rfind("Copyright \u00A9 20", 0), 0u) << WindowText(form->Label4);
    EXPECT_NE(WindowText(form->Label4).find("Vellmark"), std::string::npos);
    EXPECT_EQ(RectInParent(form->Label1).left, 9);
    EXPECT_EQ(RectInParent(form->Label1).top, 239);
    EXPECT_EQ(RectInParent(form->Label3).top, 256);
    EXPECT_EQ(RectInParent(form->Label4).top, 285);
    for (HWND label : {form->Label1, form->Label3, form->Label4}) {
        const RECT r = RectInParent(label);
        EXPECT_GT(r.right - r.left, 100) << WindowText(label) << ": as wide as its text";
        EXPECT_GT(r.bottom - r.top, 8);
    }

    // Initial states.
    EXPECT_EQ(SendMessageW(form->HotKey1, HKM_GETHOTKEY, 0, 0), 0);
    EXPECT_EQ(SendMessageW(form->ListBox1, LB_GETCOUNT, 0, 0), 1) << "the default hotkey";
    EXPECT_EQ(SendMessageW(form->ListBox1, LB_GETITEMHEIGHT, 0, 0), 13);
    EXPECT_EQ(SendMessageW(form->TrackBar1, TBM_GETRANGEMIN, 0, 0), 4);
    EXPECT_EQ(SendMessageW(form->TrackBar1, TBM_GETRANGEMAX, 0, 0), 16);
    EXPECT_EQ(SendMessageW(form->TrackBar1, TBM_GETPOS, 0, 0), 16);
    EXPECT_EQ(SendMessageW(form->CheckBox5, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(form->CheckBox6, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(form->CheckBox7, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(MainFormTest, TabOrderRunsThroughTheGroupsThenTheButtons) {
    const HWND expected[] = {form->HotKey1,   form->BtnAdd,    form->ListBox1,  form->BtnRemove,
                             form->BtnClear,  form->wl_srclang, form->wl_trglang, form->TrackBar1,
                             form->CheckBox5, form->CheckBox6, form->CheckBox7, form->Button2,
                             form->Button3,   form->Button1,   form->BtnExit,   form->HotKey1};
    HWND main = form->Handle();
    HWND current = GetNextDlgTabItem(main, nullptr, FALSE);
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(current, expected[i]) << "tab stop " << i << " is " << WindowText(current) << " ("
                                        << ClassOf(current) << ")";
        current = GetNextDlgTabItem(main, current, FALSE);
    }
}

TEST_F(MainFormTest, PickersHoldTheWholeTableAndOpenWithoutScrolling) {
    for (HWND picker : {form->wl_srclang, form->wl_trglang}) {
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
    EXPECT_EQ(form->PickerText(form->wl_srclang), "French");
    EXPECT_EQ(form->PickerText(form->wl_trglang), "English");
    EXPECT_EQ(SendMessageW(form->wl_srclang, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendMessageW(form->wl_trglang, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(form->SrcLangCode, "FR");
    EXPECT_EQ(form->TrgLangCode, "EN");
}

TEST_F(MainFormTest, PickingARowSetsItsCode) {
    Pick(form->wl_trglang, 12);
    EXPECT_EQ(form->TrgLangCode, "ZH-TW");
    EXPECT_EQ(form->PickerText(form->wl_trglang), "Chinese(T)");
    Pick(form->wl_srclang, 6);
    Pick(form->wl_trglang, 15);
    EXPECT_EQ(form->SrcLangCode, "NL");
    EXPECT_EQ(form->TrgLangCode, "NL");
    EXPECT_EQ(form->PickerText(form->wl_srclang), form->PickerText(form->wl_trglang));

    // No selection leaves the code as it was; the face is then empty.
    Pick(form->wl_srclang, -1);
    EXPECT_EQ(form->SrcLangCode, "NL");
    EXPECT_EQ(form->PickerText(form->wl_srclang), "");
}

TEST_F(MainFormTest, ClicksOnTheLanguageGroupSwapButClicksOnItsControlsDoNot) {
    HWND group = form->GroupBox5;
    SetForegroundWindow(form->Handle());
    Pump(form->Handle());

    ClickAt(group, {100, 74}); // empty area below the pickers
    ASSERT_TRUE(PumpUntil(form->Handle(), [&] { return Position(form->wl_srclang) == 0; }));
    EXPECT_EQ(Position(form->wl_trglang), 1);
    EXPECT_EQ(form->SrcLangCode, "EN");
    EXPECT_EQ(form->TrgLangCode, "FR");

    ClickAt(group, {40, 3}); // the caption
    ASSERT_TRUE(PumpUntil(form->Handle(), [&] { return Position(form->wl_srclang) == 1; }));
    EXPECT_EQ(Position(form->wl_trglang), 0);
    EXPECT_EQ(form->SrcLangCode, "FR");
    EXPECT_EQ(form->TrgLangCode, "EN");

    // The compact-mode button and a picker are not the group.
    ClickAt(group, {160, 44});
    Pump(form->Handle());
    EXPECT_EQ(Position(form->wl_srclang), 1);
    EXPECT_EQ(Position(form->wl_trglang), 0);
    ClickAt(group, {60, 30});
    ASSERT_TRUE(PumpUntil(form->Handle(),
                          [&] { return SendMessageW(form->wl_srclang, CB_GETDROPPEDSTATE, 0, 0); }))
        << "a click on the picker opens its list";
    EXPECT_EQ(Position(form->wl_trglang), 0) << "and swaps nothing";
    EXPECT_EQ(form->TrgLangCode, "EN");
    SendMessageW(form->wl_srclang, CB_SHOWDROPDOWN, FALSE, 0);
}

TEST_F(MainFormTest, SwappingWithAnEmptyPickerMovesTheEmptinessToo) {
    Pick(form->wl_srclang, -1); // as after a damaged stored position
    form->GroupBox5Click();
    EXPECT_EQ(Position(form->wl_srclang), 0);
    EXPECT_EQ(Position(form->wl_trglang), -1);
    EXPECT_EQ(form->SrcLangCode, "EN");
    EXPECT_EQ(form->TrgLangCode, "FR");
}

TEST_F(MainFormTest, AnErrorInAHandlerIsReportedAndTheWindowGoesOn) {
    MessageBoxRecorder boxes;
    form->RunGuarded([] { throw std::runtime_error("Disk full"); });
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "Tervane");
    EXPECT_EQ(boxes.boxes[0].text, "Disk full.");
    EXPECT_EQ(boxes.boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(boxes.boxes[0].owner, form->Handle());

    form->RunGuarded([] { throw std::runtime_error("Stop!"); });
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].text, "Stop!");

    Pick(form->wl_trglang, 3);
    EXPECT_EQ(form->TrgLangCode, "ES") << "the window still handles its messages";
}

// The three ways to close all take the one close path and end the message loop.
TEST_F(MainFormTest, ExitButtonCloseBoxAndAltF4CloseTheWindow) {
    auto closed = [](TMainForm& f) {
        HWND h = f.Handle();
        return PumpUntil(nullptr, [&] { return !IsWindow(h); });
    };
    SendMessageW(form->BtnExit, BM_CLICK, 0, 0);
    EXPECT_TRUE(closed(*form));

    form = std::make_unique<TMainForm>();
    form->Create(GetModuleHandleW(nullptr));
    form->Show(SW_SHOW);
    SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); // the close box
    EXPECT_TRUE(closed(*form));

    form = std::make_unique<TMainForm>();
    form->Create(GetModuleHandleW(nullptr));
    form->Show(SW_SHOW);
    // Alt+F4 on a control: the default handling turns it into the close command.
    SendMessageW(form->Handle(), WM_SYSKEYDOWN, VK_F4, 1 << 29);
    EXPECT_TRUE(closed(*form));

    form = std::make_unique<TMainForm>();
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

} // namespace
