#include "service/platform/LogOutput.h"

#include "base/ShellFolder_win.h"

#include <windows.h>

namespace tervane::service {
// A service started from a command line may have a standard error; one started at logon
// has none, and then the lines are lost (the default there is the log file).
LogOutput StandardErrorOutput() {
    LogOutput output;
    output.name = "standard error";
    output.write = [](std::string_view text, const std::atomic<bool>&) {
        const HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
        DWORD written = 0;
        while (!text.empty() && handle != nullptr && handle != INVALID_HANDLE_VALUE) {
            if (!WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written,
                           nullptr) ||
                written == 0)
                return false;
            text.remove_prefix(written);
        }
        return true;
    };
    return output;
}

std::filesystem::path DefaultLogFile() {
    const std::string folder = GetShellFolderPath(kLocalAppDataFolder);
    if (folder.empty())
        return {};
    return PathFromUtf8(folder) / "Tervane" / "tervane-service.log";
}

std::filesystem::path PathFromUtf8(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

} // namespace tervane::service
