#pragma once
// The program's life: the hotkey module, COM for the user-interface thread, the main
// window and its message loop, then all of it undone in reverse order.
#include "app/MainWindow_win.h"

#include <functional>

namespace tervane {

// Runs the program until its main window closes; returns the exit code. `prepare`, when
// given, sees the main window after its creation and before it is shown. When another
// copy runs in the session, shows that copy's window instead and returns 0 at once.
int RunProgram(HINSTANCE instance, int showCommand,
               const std::function<void(MainWindow&)>& prepare = {});

} // namespace tervane
