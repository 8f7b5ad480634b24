// tervane.exe: takes no command-line arguments and reads no environment.
#include "app/Program_win.h"

using namespace tervane;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    return RunProgram(instance, showCommand);
}
