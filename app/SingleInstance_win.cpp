#include "app/SingleInstance_win.h"

#include "app/MainWindow_win.h"

#include <chrono>

namespace tervane {

namespace {

// "Local\": one name per logon session, so that each user of the machine has a copy.
constexpr wchar_t kClaimName[] = L"Local\\Vellmark.Tervane.Program";
constexpr auto kStartingCopyWait = std::chrono::seconds(10);
constexpr DWORD kPollMs = 100;

} // namespace

SingleInstance::SingleInstance() {
    claim_ = CreateMutexW(nullptr, FALSE, kClaimName);
    // Without a claim (names refused) the program runs as if alone, as it always did.
    first_ = !claim_ || GetLastError() != ERROR_ALREADY_EXISTS;
}

SingleInstance::~SingleInstance() {
    if (claim_)
        CloseHandle(claim_);
}

bool ShowRunningCopy() {
    const auto deadline = std::chrono::steady_clock::now() + kStartingCopyWait;
    for (;;) {
        if (const HWND window = FindWindowW(MainWindow::kClassName, nullptr)) {
            // This copy was just started by the user, so it may hand the foreground on.
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            AllowSetForegroundWindow(process);
            return PostMessageW(window, MainWindow::ShowRequestMessage(), 0, 0) != FALSE;
        }
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        Sleep(kPollMs);
    }
}

} // namespace tervane
