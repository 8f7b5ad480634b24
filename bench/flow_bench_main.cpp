// tervane-flow-bench.exe: tervane.exe that also writes, for each stage of a translation,
// one line "<stage> <microseconds>" to the file TERVANE_FLOW_TRACE names, so that
// bench/hotkey-bench.py can time hotkey press to balloon. The shipped program has no such
// behaviour.
#include "app/Program_win.h"

#include <cstdio>
#include <cstdlib>

using namespace tervane;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    return RunProgram(instance, showCommand, [](MainWindow& window) {
        window.onFlowStage = [](FlowStage stage) {
            static const char* const kNames[] = {"started", "captured", "translated", "shown"};
            LARGE_INTEGER now, frequency;
            QueryPerformanceCounter(&now);
            QueryPerformanceFrequency(&frequency);
            if (const wchar_t* path = _wgetenv(L"TERVANE_FLOW_TRACE")) {
                if (FILE* trace = _wfopen(path, L"a")) {
                    std::fprintf(trace, "%s %lld\n", kNames[static_cast<int>(stage)],
                                 now.QuadPart * 1000000 / frequency.QuadPart);
                    std::fclose(trace);
                }
            }
        };
    });
}
