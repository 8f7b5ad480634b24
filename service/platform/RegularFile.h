// Files the service reads or appends to only when they are regular files: a FIFO, a
// device or a directory in their place is refused, never opened for a read that blocks or
// never ends, and the log is never written through a symbolic link.
#pragma once

#include "service/core/Result.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace tervane::service {

// What tells one version of a file from another: a rewrite in place changes the size, the
// times or the change time; a file put in its place, the inode.
struct FileIdentity {
    bool present = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The identity of the file at path (following links); not present when there is none.
FileIdentity IdentifyFile(const std::filesystem::path& path);

// The whole content of a regular file of at most limit bytes; otherwise an error that says
// why (404 missing, 415 not a regular file, 413 too large, 500 unreadable).
Result<std::string> ReadRegularFile(const std::filesystem::path& path, std::uintmax_t limit);

// A regular file opened for appending (made when missing), refused when the path is a
// symbolic link or anything else but a regular file.
class AppendFile {
  public:
    AppendFile();
    ~AppendFile();
    AppendFile(AppendFile&&) noexcept;
    AppendFile& operator=(AppendFile&&) noexcept;

    Result<std::uintmax_t> Open(const std::filesystem::path& path); // its size
    bool Write(std::string_view text);
    void Close();
    bool IsOpen() const;

  private:
    struct Handle;
    std::unique_ptr<Handle> handle_;
};

} // namespace tervane::service
