// The hotkey manager against Wine's real RegisterHotKey, global atoms and message queue.
#include "hotkeys/HotKeyCodec.h"
#include "hotkeys/HotKeyManager_win.h"

#include "WineTestSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include <string>
#include <utility>
#include <vector>

using namespace tervane;

namespace {

// Combinations no desktop binds, so that the system's answer is about this program alone.
constexpr std::uint32_t CtrlShiftAltF9 = 0xE078;
constexpr std::uint32_t CtrlAltF10 = 0xC079;
constexpr std::uint32_t ShiftAltF11 = 0xA07A;
constexpr std::uint32_t CtrlWinF8 = 0x14077;

template <typename Predicate> bool PumpUntil(Predicate done) {
    return ::PumpUntil(nullptr, done);
}

ATOM FindAtom(std::uint32_t value) {
    return GlobalFindAtomW((L"HotKeyManagerHotKey" + std::to_wstring(value)).c_str());
}

// The hotkey message the system sends for a press of `value` registered under `id`.
void PostPress(HWND window, std::uint16_t id, std::uint32_t value) {
    std::uint16_t modifiers = 0, key = 0;
    SeparateHotKey(value, modifiers, key);
    PostMessageW(window, WM_HOTKEY, id, MAKELPARAM(modifiers, key));
}

using Presses = std::vector<std::pair<std::uint32_t, std::uint16_t>>;

TEST(HotKeyManager, AddingRegistersOnceUnderItsAtomAndRemovingReleases) {
    HotKeyManager manager;
    ASSERT_NE(manager.Handle(), nullptr);
    EXPECT_TRUE(manager.Registrations().empty());
    ASSERT_TRUE(HotKeyAvailable(CtrlShiftAltF9));

    const std::uint16_t id = manager.AddHotKey(CtrlShiftAltF9);
    ASSERT_NE(id, 0);
    EXPECT_EQ(FindAtom(CtrlShiftAltF9), id);
    EXPECT_FALSE(HotKeyAvailable(CtrlShiftAltF9));

    // The same value again is refused and leaves the one record and its atom.
    EXPECT_EQ(manager.AddHotKey(CtrlShiftAltF9), 0);
    ASSERT_EQ(manager.Registrations().size(), 1u);
    EXPECT_EQ(manager.Registrations()[0].hotKey, CtrlShiftAltF9);
    EXPECT_EQ(manager.Registrations()[0].keyIndex, id);
    EXPECT_EQ(FindAtom(CtrlShiftAltF9), id);

    const std::uint16_t second = manager.AddHotKey(CtrlAltF10);
    ASSERT_NE(second, 0);
    EXPECT_NE(second, id);
    ASSERT_EQ(manager.Registrations().size(), 2u);
    EXPECT_EQ(manager.Registrations()[1].hotKey, CtrlAltF10);

    EXPECT_TRUE(manager.RemoveHotKey(CtrlShiftAltF9));
    EXPECT_EQ(FindAtom(CtrlShiftAltF9), 0);
    EXPECT_TRUE(HotKeyAvailable(CtrlShiftAltF9));
    ASSERT_EQ(manager.Registrations().size(), 1u);
    EXPECT_EQ(manager.Registrations()[0].hotKey, CtrlAltF10);
    // Not listed (any more): false, nothing changes.
    EXPECT_FALSE(manager.RemoveHotKey(CtrlShiftAltF9));
    EXPECT_FALSE(manager.RemoveHotKey(CtrlAltF10 | 0x100000));
    EXPECT_EQ(manager.Registrations().size(), 1u);
    EXPECT_FALSE(HotKeyAvailable(CtrlAltF10));

    // A release the system refuses still drops the record and its atom.
    ASSERT_TRUE(UnregisterHotKey(manager.Handle(), second));
    EXPECT_FALSE(manager.RemoveHotKey(CtrlAltF10));
    EXPECT_TRUE(manager.Registrations().empty());
    EXPECT_EQ(FindAtom(CtrlAltF10), 0);
}

TEST(HotKeyManager, WinHotKeysAreRegisteredAndRemovedLikeAnyOther) {
    HotKeyManager manager;
    const std::uint16_t id = manager.AddHotKey(CtrlWinF8);
    ASSERT_NE(id, 0);
    EXPECT_FALSE(HotKeyAvailable(CtrlWinF8));
    // The value without Win is another hotkey.
    EXPECT_FALSE(manager.RemoveHotKey(CtrlWinF8 & ~kHotKeyWin));
    EXPECT_TRUE(HotKeyAvailable(CtrlWinF8 & ~kHotKeyWin));
    EXPECT_TRUE(manager.RemoveHotKey(CtrlWinF8));
    EXPECT_TRUE(manager.Registrations().empty());
    EXPECT_TRUE(HotKeyAvailable(CtrlWinF8));
}

TEST(HotKeyManager, PressesOfListedHotKeysRaiseTheEventWithTheirIndex) {
    HotKeyManager manager;
    Presses presses;
    manager.onHotKeyPressed = [&](std::uint32_t HotKey, std::uint16_t Index) {
        presses.emplace_back(HotKey, Index);
    };
    const std::uint16_t first = manager.AddHotKey(CtrlShiftAltF9);
    const std::uint16_t win = manager.AddHotKey(CtrlWinF8);
    ASSERT_NE(first, 0);
    ASSERT_NE(win, 0);

    PostPress(manager.Handle(), win, CtrlWinF8);
    ASSERT_TRUE(PumpUntil([&] { return presses.size() == 1; }));
    EXPECT_EQ(presses[0], std::make_pair(CtrlWinF8, win));

    // A press of a value that is not listed, though reported for this window, raises
    // nothing: it is handled before the listed press posted after it.
    PostPress(manager.Handle(), 0x1234, ShiftAltF11);
    PostPress(manager.Handle(), first, CtrlWinF8 & ~kHotKeyWin);
    PostPress(manager.Handle(), first, CtrlShiftAltF9);
    ASSERT_TRUE(PumpUntil([&] { return presses.size() == 2; }));
    EXPECT_EQ(presses[1], std::make_pair(CtrlShiftAltF9, first));

    // The index is the identifier the system reports, whatever it is.
    PostPress(manager.Handle(), 0x2345, CtrlShiftAltF9);
    ASSERT_TRUE(PumpUntil([&] { return presses.size() == 3; }));
    EXPECT_EQ(presses[2], std::make_pair(CtrlShiftAltF9, std::uint16_t{0x2345}));

    // Unassigned, the hotkey message goes straight to the default window procedure.
    manager.onHotKeyPressed = nullptr;
    EXPECT_EQ(SendMessageW(manager.Handle(), WM_HOTKEY, first, MAKELPARAM(7, 0x78)), 0);
    EXPECT_EQ(presses.size(), 3u);
}

// Presses the keys of `value` and lets them go again, as the user does.
void PressKeys(std::uint32_t value) {
    std::vector<WORD> keys;
    if (value & kHotKeyCtrl)
        keys.push_back(VK_CONTROL);
    if (value & kHotKeyShift)
        keys.push_back(VK_SHIFT);
    if (value & kHotKeyAlt)
        keys.push_back(VK_MENU);
    keys.push_back(static_cast<WORD>(value & kHotKeyKeyMask));
    std::vector<INPUT> input;
    for (WORD key : keys) {
        INPUT down{};
        down.type = INPUT_KEYBOARD;
        down.ki.wVk = key;
        input.push_back(down);
    }
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
        INPUT up{};
        up.type = INPUT_KEYBOARD;
        up.ki.wVk = *key;
        up.ki.dwFlags = KEYEVENTF_KEYUP;
        input.push_back(up);
    }
    ASSERT_EQ(SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT)),
              input.size());
}

TEST(HotKeyManager, ARealKeyPressArrivesWithTheRegistrationsIndex) {
    HotKeyManager manager;
    Presses presses;
    manager.onHotKeyPressed = [&](std::uint32_t HotKey, std::uint16_t Index) {
        presses.emplace_back(HotKey, Index);
    };
    ASSERT_NE(manager.AddHotKey(CtrlAltF10), 0);
    const std::uint16_t id = manager.AddHotKey(CtrlShiftAltF9);
    ASSERT_NE(id, 0);
    PressKeys(CtrlShiftAltF9);
    ASSERT_TRUE(PumpUntil([&] { return !presses.empty(); }));
    ASSERT_EQ(presses.size(), 1u);
    EXPECT_EQ(presses[0], std::make_pair(CtrlShiftAltF9, id));
}

// Sees every message the manager's window gets, as an override of HandleMessage does.
class ListeningManager : public HotKeyManager {
  public:
    std::vector<UINT> messages;

  protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        messages.push_back(msg);
        return HotKeyManager::HandleMessage(msg, wp, lp);
    }
};

TEST(HotKeyManager, EveryMessageReachesHandleMessageAndTheDefaultProcedureAnswers) {
    ListeningManager manager;
    constexpr UINT probe = WM_APP + 17;
    SendMessageW(manager.Handle(), probe, 0, 0);
    EXPECT_EQ(manager.messages.back(), probe);
    // WM_SETTEXT and WM_GETTEXT are the default window procedure's work.
    EXPECT_TRUE(
        SendMessageW(manager.Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"HotKeyProbe")));
    wchar_t text[32] = {};
    GetWindowTextW(manager.Handle(), text, 32);
    EXPECT_STREQ(text, L"HotKeyProbe");

    int pressed = 0;
    manager.onHotKeyPressed = [&](std::uint32_t, std::uint16_t) { ++pressed; };
    const std::uint16_t id = manager.AddHotKey(ShiftAltF11);
    ASSERT_NE(id, 0);
    PostPress(manager.Handle(), id, ShiftAltF11);
    ASSERT_TRUE(PumpUntil([&] { return pressed == 1; }));
    EXPECT_EQ(manager.messages.back(), static_cast<UINT>(WM_HOTKEY));
}

TEST(HotKeyManager, ClearingAndDestructionFreeEveryHotKey) {
    const std::uint32_t values[] = {CtrlShiftAltF9, CtrlAltF10, CtrlWinF8};
    HWND window = nullptr;
    {
        HotKeyManager manager;
        window = manager.Handle();
        manager.ClearHotKeys(); // empty: nothing happens
        EXPECT_TRUE(manager.Registrations().empty());
        for (std::uint32_t v : values)
            ASSERT_NE(manager.AddHotKey(v), 0);
        for (std::uint32_t v : values)
            EXPECT_FALSE(HotKeyAvailable(v)) << v;

        manager.ClearHotKeys();
        EXPECT_TRUE(manager.Registrations().empty());
        for (std::uint32_t v : values) {
            EXPECT_TRUE(HotKeyAvailable(v)) << v;
            EXPECT_EQ(FindAtom(v), 0) << v;
        }
        for (std::uint32_t v : values)
            ASSERT_NE(manager.AddHotKey(v), 0);
        EXPECT_TRUE(IsWindow(window));
    }
    // The destructor released the hotkeys, their atoms and the window.
    EXPECT_FALSE(IsWindow(window));
    for (std::uint32_t v : values) {
        EXPECT_TRUE(HotKeyAvailable(v)) << v;
        EXPECT_EQ(FindAtom(v), 0) << v;
    }
}

TEST(HotKeyManager, ASecondManagerCannotTakeWhatTheFirstHolds) {
    auto first = std::make_unique<HotKeyManager>();
    HotKeyManager second;
    EXPECT_NE(first->Handle(), second.Handle());
    const std::uint16_t id = first->AddHotKey(CtrlShiftAltF9);
    ASSERT_NE(id, 0);
    EXPECT_EQ(second.AddHotKey(CtrlShiftAltF9), 0);
    EXPECT_TRUE(second.Registrations().empty());
    // The refusal deleted only the second manager's use of the atom.
    EXPECT_EQ(FindAtom(CtrlShiftAltF9), id);
    EXPECT_FALSE(second.RemoveHotKey(CtrlShiftAltF9));
    EXPECT_EQ(first->Registrations().size(), 1u);

    first.reset();
    EXPECT_NE(second.AddHotKey(CtrlShiftAltF9), 0);
}

TEST(HotKeyManager, AHotKeyHeldElsewhereIsRefused) {
    const HWND other = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                       GetModuleHandleW(nullptr), nullptr);
    EXPECT_TRUE(HotKeyAvailable(ShiftAltF11));
    EXPECT_EQ(GlobalFindAtomW(kHotKeyProbeAtom), 0) << "the probe leaves nothing behind";
    ASSERT_TRUE(RegisterHotKey(other, 0x77, MOD_SHIFT | MOD_ALT, VK_F11));
    EXPECT_FALSE(HotKeyAvailable(ShiftAltF11));
    HotKeyManager manager;
    EXPECT_EQ(manager.AddHotKey(ShiftAltF11), 0);
    ASSERT_TRUE(UnregisterHotKey(other, 0x77));
    EXPECT_TRUE(HotKeyAvailable(ShiftAltF11));
    DestroyWindow(other);
}

// The hidden window is one of ours: an error of the press handler is reported like any
// handler's, with no owner (a hidden window cannot own a box), and the manager goes on.
TEST(HotKeyManager, AnErrorInThePressHandlerReachesTheErrorReport) {
    MessageBoxRecorder boxes;
    HotKeyManager manager;
    int calls = 0;
    manager.onHotKeyPressed = [&](std::uint32_t, std::uint16_t) {
        ++calls;
        throw std::runtime_error("Service down");
    };
    const std::uint16_t id = manager.AddHotKey(ShiftAltF11);
    ASSERT_NE(id, 0);
    for (int press = 1; press <= 2; ++press) {
        PostPress(manager.Handle(), id, ShiftAltF11);
        ASSERT_TRUE(PumpUntil([&] { return boxes.boxes.size() == static_cast<size_t>(press); }));
    }
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(boxes.boxes[0].text, "Service down.");
    EXPECT_EQ(boxes.boxes[0].caption, "Tervane");
    EXPECT_EQ(boxes.boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(boxes.boxes[0].owner, nullptr);
}

} // namespace
