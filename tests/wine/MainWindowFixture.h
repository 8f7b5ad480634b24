#pragma once
// A main window made and shown as at the program's start, with the hotkey module it needs;
// both ended after each test, with the settings the window saved as they changed.
#include "WineTestSupport.h"
#include "app/MainWindow_win.h"
#include "base/Controls_win.h"

#include <gtest/gtest.h>

#include <memory>

namespace tervane {

// Ctrl+Shift+F12, the default hotkey, pressed and released through the input queue.
inline void PressDefaultHotKey() {
    const WORD keys[] = {VK_CONTROL, VK_SHIFT, VK_F12};
    INPUT input[6]{};
    for (int i = 0; i < 3; ++i) {
        input[i].type = input[5 - i].type = INPUT_KEYBOARD;
        input[i].ki.wVk = input[5 - i].ki.wVk = keys[i];
        input[5 - i].ki.dwFlags = KEYEVENTF_KEYUP;
    }
    SendInput(6, input, sizeof(INPUT));
}

class MainWindowTest : public testing::Test {
  protected:
    void SetUp() override {
        hotKeyModule.emplace();
        form = std::make_unique<MainWindow>(hotKeyModule->Codec());
        form->Create(GetModuleHandleW(nullptr));
        form->Show(SW_SHOW);
        Pump(form->Handle());
    }
    void TearDown() override {
        form.reset();
        Pump();
        hotKeyModule.reset();
        ForgetSettings();
    }
    // A user's pick: the picker moves, then tells its parent as a real pick does.
    void Pick(ControlId picker, int position) {
        Picker(form->Control(picker)).SelectAsUser(position);
    }

    std::unique_ptr<MainWindow> form;
};

} // namespace tervane
