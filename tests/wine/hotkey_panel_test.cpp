// The hotkey panel of the real main window, with Wine's real hotkey registration.
#include "WineTestSupport.h"
#include "app/MainWindow_win.h"
#include "hotkeys/HotKeyCodec.h"
#include "hotkeys/HotKeyManager_win.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

using namespace tervane;

namespace {

constexpr std::uint32_t kCtrlShiftF12 = 0x607B;
constexpr std::uint32_t kCtrlAltF5 = kHotKeyCtrl | kHotKeyAlt | VK_F5;

class HotKeyPanelTest : public testing::Test {
  protected:
    void SetUp() override {
        hotKeyModule.emplace();
        form = MakeForm();
    }
    void TearDown() override {
        form.reset();
        Pump();
        hotKeyModule.reset();
        ForgetSettings(); // each change was saved
    }
    static std::unique_ptr<MainWindow> MakeForm() {
        auto f = std::make_unique<MainWindow>(hotKeyModule->Codec());
        f->Create(GetModuleHandleW(nullptr));
        f->Show(SW_SHOW);
        return f;
    }

    std::vector<std::string> Lines() {
        std::vector<std::string> lines;
        const auto count = SendMessageW(form->Control(ControlId::HotKeyList), LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t text[256] = {};
            SendMessageW(form->Control(ControlId::HotKeyList), LB_GETTEXT, i,
                         reinterpret_cast<LPARAM>(text));
            lines.push_back(Narrow(text));
        }
        return lines;
    }
    std::vector<std::uint32_t> Registered() {
        std::vector<std::uint32_t> values;
        for (const auto& r : form->HotKeys().Registrations())
            values.push_back(r.hotKey);
        return values;
    }
    void Enter(WORD key, BYTE flags) {
        SendMessageW(form->Control(ControlId::HotKeyEntry), HKM_SETHOTKEY, MAKEWORD(key, flags), 0);
    }
    WORD EntryBox() {
        return static_cast<WORD>(
            SendMessageW(form->Control(ControlId::HotKeyEntry), HKM_GETHOTKEY, 0, 0));
    }
    void Click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }
    void Select(int line) {
        SendMessageW(form->Control(ControlId::HotKeyList), LB_SETCURSEL, line, 0);
    }

    std::unique_ptr<MainWindow> form;
};

// The list's rules are tested natively (tests/unit/panel_controllers_test.cpp); here the
// controls and the system's registrations they stand for.
TEST_F(HotKeyPanelTest, TheButtonsRegisterAndReleaseThroughTheSystem) {
    EXPECT_EQ(Lines(), std::vector<std::string>{hotKeyModule->Codec().ToText(kCtrlShiftF12, true)});
    EXPECT_FALSE(HotKeyAvailable(kCtrlShiftF12)) << "the default, registered at start";

    MessageBoxRecorder boxes;
    Enter(VK_F5, HOTKEYF_CONTROL | HOTKEYF_ALT | HOTKEYF_EXT);
    Click(form->Control(ControlId::AddButton));
    EXPECT_EQ(Lines().back(), hotKeyModule->Codec().ToText(kCtrlAltF5, true));
    EXPECT_EQ(Registered().back(), kCtrlAltF5) << "the box's extended flag is dropped";
    EXPECT_EQ(EntryBox(), 0) << "the entry box is emptied";
    EXPECT_FALSE(HotKeyAvailable(kCtrlAltF5));

    // The same again: the system refuses it, the warning box names it, the box keeps it.
    Enter(VK_F5, HOTKEYF_CONTROL | HOTKEYF_ALT);
    Click(form->Control(ControlId::AddButton));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, hotKeyModule->Codec().ToText(kCtrlAltF5, true) +
                                       " couldn't be assigned to a hotkey.");
    EXPECT_EQ(boxes.boxes[0].caption, "Warning");
    EXPECT_EQ(boxes.boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONWARNING));
    EXPECT_EQ(boxes.boxes[0].owner, form->Handle());
    EXPECT_EQ(EntryBox(), MAKEWORD(VK_F5, HOTKEYF_CONTROL | HOTKEYF_ALT));

    Click(form->Control(ControlId::RemoveButton)); // nothing selected: the plain box
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].text, "Please select an item");
    EXPECT_EQ(boxes.boxes[1].caption, "Tervane");
    EXPECT_EQ(boxes.boxes[1].type, static_cast<UINT>(MB_OK));

    Select(1);
    Click(form->Control(ControlId::RemoveButton));
    EXPECT_EQ(Lines().size(), 1u);
    EXPECT_TRUE(HotKeyAvailable(kCtrlAltF5));

    Click(form->Control(ControlId::ClearButton));
    EXPECT_TRUE(Lines().empty());
    EXPECT_TRUE(Registered().empty());
    EXPECT_EQ(EntryBox(), 0);
    EXPECT_TRUE(HotKeyAvailable(kCtrlShiftF12));
}

// The action picker shows the selected line's action and sets it; the line says so.
TEST_F(HotKeyPanelTest, TheActionPickerSetsTheSelectedLinesAction) {
    const HWND list = form->Control(ControlId::HotKeyList);
    const HWND picker = form->Control(ControlId::HotKeyActionPicker);
    const auto tell = [](HWND control, int notification) {
        SendMessageW(GetParent(control), WM_COMMAND,
                     MAKEWPARAM(GetDlgCtrlID(control), notification),
                     reinterpret_cast<LPARAM>(control));
    };
    EXPECT_EQ(SendMessageW(picker, CB_GETCURSEL, 0, 0), CB_ERR) << "no line selected";
    Select(0);
    tell(list, LBN_SELCHANGE);
    EXPECT_EQ(SendMessageW(picker, CB_GETCURSEL, 0, 0), 0) << "the default translates";

    SendMessageW(picker, CB_SETCURSEL, 1, 0);
    tell(picker, CBN_SELCHANGE);
    const std::string text = hotKeyModule->Codec().ToText(kCtrlShiftF12, true);
    EXPECT_EQ(Lines(), std::vector<std::string>{text + " (replace)"});
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 0) << "the line stays selected";
    EXPECT_EQ(form->HotKeysPanel().Controller().ActionOf(kCtrlShiftF12), HotKeyAction::Replace);
    EXPECT_EQ(form->CurrentSettings().hotKeys.at(0), (HotKeySetting{text, HotKeyAction::Replace}));
}

TEST_F(HotKeyPanelTest, EntryBoxTurnsShiftAloneIntoTheBareKey) {
    SetForegroundWindow(form->Handle());
    SetFocus(form->Control(ControlId::HotKeyEntry));
    Pump(form->Handle());
    INPUT keys[4]{};
    for (INPUT& k : keys)
        k.type = INPUT_KEYBOARD;
    keys[0].ki.wVk = VK_SHIFT;
    keys[1].ki.wVk = VK_F5;
    keys[2].ki.wVk = VK_F5;
    keys[2].ki.dwFlags = KEYEVENTF_KEYUP;
    keys[3].ki.wVk = VK_SHIFT;
    keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, keys, sizeof(INPUT));
    ASSERT_TRUE(PumpUntil(form->Handle(), [&] { return LOBYTE(EntryBox()) == VK_F5; }));
    EXPECT_EQ(HIBYTE(EntryBox()), 0) << "Shift alone is not kept";
    Click(form->Control(ControlId::AddButton));
    EXPECT_EQ(Registered().back(), static_cast<std::uint32_t>(VK_F5));
}

TEST_F(HotKeyPanelTest, AKeyThatTypesIsRefusedWithoutCtrlAltOrWin) {
    MessageBoxRecorder boxes;
    // "a" typed into the box, as a person types it.
    SetForegroundWindow(form->Handle());
    SetFocus(form->Control(ControlId::HotKeyEntry));
    Pump(form->Handle());
    // With its scan code, as a keyboard sends it: the box reads the key from both.
    INPUT keys[2]{};
    for (INPUT& k : keys) {
        k.type = INPUT_KEYBOARD;
        k.ki.wVk = 'A';
        k.ki.wScan = static_cast<WORD>(MapVirtualKeyW('A', MAPVK_VK_TO_VSC));
    }
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
    ASSERT_TRUE(PumpUntil(form->Handle(), [&] { return EntryBox() == 'A'; })) << EntryBox();
    Click(form->Control(ControlId::AddButton));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "A can't be a hotkey: that key would no longer type in any "
                                   "program. A hotkey needs Ctrl, Alt or Win.");
    EXPECT_EQ(boxes.boxes[0].caption, "Warning");
    EXPECT_EQ(Registered(), std::vector<std::uint32_t>{kCtrlShiftF12});
    EXPECT_EQ(Lines().size(), 1u);
    EXPECT_TRUE(HotKeyAvailable('A')) << "the letter still types everywhere";
    EXPECT_EQ(EntryBox(), 'A') << "kept, so that a modifier can be added";
}

TEST_F(HotKeyPanelTest, ASecondCopyCannotTakeTheFirstOnesHotKey) {
    MessageBoxRecorder boxes;
    auto second = MakeForm();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, hotKeyModule->Codec().ToText(kCtrlShiftF12, true) +
                                       " couldn't be assigned to a hotkey.");
    EXPECT_EQ(boxes.boxes[0].owner, second->Handle());
    EXPECT_EQ(SendMessageW(second->Control(ControlId::HotKeyList), LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(Registered(), std::vector<std::uint32_t>{kCtrlShiftF12}) << "the first keeps it";
}

} // namespace
