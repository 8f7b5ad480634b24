#include "translate/TranslationLog_win.h"

#include "base/ShellFolder_win.h"
#include "base/SystemError_win.h"
#include "base/WideText_win.h"
#include "translate/LogTimeStamp_win.h"

#include <windows.h>
#include <sddl.h>

#include <initializer_list>
#include <stdexcept>

namespace tervane {

namespace {

class FileHandle {
  public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE Get() const { return handle_; }
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE handle_;
};

[[noreturn]] void ThrowSystemError(DWORD code) {
    throw std::runtime_error(SystemErrorText(code));
}

void WriteAll(const FileHandle& file, std::string_view bytes) {
    DWORD written = 0;
    if (!WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        ThrowSystemError(GetLastError());
    // A short write without an error code is a full disk.
    if (written != bytes.size())
        ThrowSystemError(ERROR_HANDLE_DISK_FULL);
}

// Given to the file just made, through its handle (the creator may change the access list
// of what it owns; Wine ignores an access list passed to CreateFileW).
void ShareWithEveryLocalUser(const FileHandle& file) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kSharedLogSecurity, SDDL_REVISION_1,
                                                              &descriptor, nullptr))
        ThrowSystemError(GetLastError());
    const BOOL set = SetKernelObjectSecurity(file.Get(), DACL_SECURITY_INFORMATION, descriptor);
    const DWORD error = GetLastError();
    LocalFree(descriptor);
    if (!set)
        ThrowSystemError(error);
}

// Opens the file at `path` as `disposition` says and writes `bytes`. False, writing
// nothing, when opening fails with one of the `quiet` errors; any other failure is
// raised with the system's reason.
bool WriteLogFile(const std::string& path, DWORD access, DWORD disposition,
                  std::initializer_list<DWORD> quiet, std::string_view bytes) {
    FileHandle file(CreateFileW(Widen(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        const DWORD error = GetLastError();
        for (DWORD expected : quiet)
            if (error == expected)
                return false;
        ThrowSystemError(error);
    }
    if (disposition == CREATE_NEW)
        ShareWithEveryLocalUser(file);
    WriteAll(file, bytes);
    return true;
}

} // namespace

bool WinLogFiles::AppendToExisting(const std::string& path, std::string_view bytes) {
    return WriteLogFile(path, FILE_APPEND_DATA, OPEN_EXISTING,
                        {ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND}, bytes);
}

bool WinLogFiles::CreateNew(const std::string& path, std::string_view bytes) {
    return WriteLogFile(path, GENERIC_WRITE | WRITE_DAC, CREATE_NEW,
                        {ERROR_FILE_EXISTS, ERROR_ALREADY_EXISTS}, bytes);
}

std::string TranslationLogPath() {
    return TranslationLogPath(GetShellFolderPath(kCommonAppDataFolder));
}

void LogTranslation(std::string_view sourceName, std::string_view targetName,
                    std::string_view source, std::string_view translation) {
    WinLogFiles files;
    WinUserClock clock;
    TranslationLog(TranslationLogPath(), files, clock)
        .Append(sourceName, targetName, source, translation);
}

bool CreateLogWithBanner() {
    WinLogFiles files;
    WinUserClock clock;
    return TranslationLog(TranslationLogPath(), files, clock).CreateWithBanner();
}

} // namespace tervane
