// tervane-hotkey-trace.exe: tervane.exe for the end-to-end scenarios, which also writes
// one line per hotkey press ("<value> <identifier>", hexadecimal value) to the file that
// TERVANE_HOTKEY_TRACE names, so that a scenario can see a real key press arrive. The
// shipped program has no such behaviour.
#include "app/Program_win.h"

#include <cstdio>
#include <cstdlib>

using namespace tervane;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    return RunProgram(instance, showCommand, [](MainWindow& window) {
        auto pressed = window.HotKeys().onHotKeyPressed;
        window.HotKeys().onHotKeyPressed = [pressed](std::uint32_t hotKey, std::uint16_t index) {
            if (const wchar_t* path = _wgetenv(L"TERVANE_HOTKEY_TRACE")) {
                if (FILE* trace = _wfopen(path, L"a")) {
                    std::fprintf(trace, "%04lX %u\n", static_cast<unsigned long>(hotKey), index);
                    std::fclose(trace);
                }
            }
            pressed(hotKey, index);
        };
    });
}
