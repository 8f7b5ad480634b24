// tervane-capture-bench.exe: the capture's time per way, for bench/capture-bench.py. Not a
// test. `tervane-capture-bench.exe <textpad.exe> <pageview.exe> [captures]`: each window
// (an edit control that answers WM_COPY; a page view that copies only on Ctrl+Insert) is
// started as another program, brought to the front and captured from `captures` times, as the
// program captures (clipboard saved and put back, input attached); UI Automation is timed on
// its own over the edit. Prints one row per way: what answered, median and p95 in ms.
#include "translate/SelectionCaptureAutomation_win.h"
#include "translate/SelectionCapture_win.h"

#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

using namespace tervane;

namespace {

using Clock = std::chrono::steady_clock;

struct Row {
    std::string way;
    std::string answer;
    std::vector<double> ms;
};

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const auto at = static_cast<size_t>(p / 100 * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(at, values.size() - 1)];
}

// Another program's window, started and in front until destroyed.
class Program {
  public:
    Program(const std::wstring& exe, const std::wstring& args, const wchar_t* windowClass) {
        std::wstring line = L"\"" + exe + L"\" " + args;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process_))
            throw std::runtime_error("cannot start the window's program");
        const auto deadline = Clock::now() + std::chrono::seconds(30);
        while (!(window_ = FindWindowW(windowClass, nullptr)) || !IsWindowVisible(window_)) {
            if (Clock::now() > deadline)
                throw std::runtime_error("the window did not come up");
            Sleep(50);
        }
        SetForegroundWindow(window_);
        while (GetForegroundWindow() != window_) {
            if (Clock::now() > deadline)
                throw std::runtime_error("the window did not come to the front");
            Sleep(50);
        }
        Sleep(300); // its focus settles
    }
    ~Program() {
        TerminateProcess(process_.hProcess, 0);
        WaitForSingleObject(process_.hProcess, 10000);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

  private:
    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
};

Row TimeCaptures(HWND opener, int captures) {
    Row row;
    for (int i = 0; i < captures; ++i) {
        const auto start = Clock::now();
        CapturedSelection capture = CaptureSelectedText(opener);
        row.ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        DetachInput(capture);
        row.way = CaptureWayName(capture.way);
        row.answer = capture.capturedText.empty() ? "nothing" : "the selection";
    }
    return row;
}

Row TimeAutomation(int captures) {
    Row row{"UI Automation", "the selection", {}};
    for (int i = 0; i < captures; ++i) {
        const auto start = Clock::now();
        try {
            if (ReadAutomationSelection().empty())
                row.answer = "nothing";
        } catch (const std::exception& e) {
            row.answer = std::string("no answer: ") + e.what();
        }
        row.ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return row;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: tervane-capture-bench <textpad.exe> <pageview.exe> [n]\n");
        return 2;
    }
    const int captures = argc > 3 ? std::max(1, _wtoi(argv[3])) : 25;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // The program's hidden window that opens the clipboard.
    HWND opener = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    const std::wstring text = L"\"Le chat est noir et la maison est grande.\"";
    std::vector<Row> rows;
    try {
        {
            Program pad(argv[1], L"Texte " + text, L"TervaneTextPad");
            rows.push_back(TimeCaptures(opener, captures));
            rows.back().way += " (edit control)";
            rows.push_back(TimeAutomation(captures));
        }
        {
            Program page(argv[2], L"Page " + text, L"TervanePageView");
            rows.push_back(TimeCaptures(opener, captures));
            rows.back().way += " (page view)";
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "capture bench: %s\n", e.what());
        return 1;
    }
    std::printf("Capture per way, %d captures each\n", captures);
    std::printf("%-28s%12s%10s  %s\n", "way (window)", "median ms", "p95 ms", "answer");
    for (const Row& row : rows)
        std::printf("%-28s%12.1f%10.1f  %s\n", row.way.c_str(), Percentile(row.ms, 50),
                    Percentile(row.ms, 95), row.answer.c_str());
    DestroyWindow(opener);
    CoUninitialize();
    return 0;
}
