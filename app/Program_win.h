#pragma once
// The program's life: module start steps, COM for the user-interface thread, the main
// window and its message loop, then the module end steps.
#include "app/MainForm_win.h"

#include <functional>

// Runs the program until its main window closes; returns the exit code. `prepare`, when
// given, sees the main window after its creation and before it is shown.
int RunProgram(HINSTANCE instance, int showCommand,
               const std::function<void(TMainForm&)>& prepare = {});
