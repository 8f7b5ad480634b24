#include "service/platform/RegularFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace tervane::service {
namespace {

std::string Name(const std::filesystem::path& path) {
    return path.string();
}

std::int64_t Nanoseconds(const timespec& time) {
    return static_cast<std::int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

FileIdentity IdentityOf(const struct stat& info) {
    return FileIdentity{true,
                        static_cast<std::uint64_t>(info.st_dev),
                        static_cast<std::uint64_t>(info.st_ino),
                        static_cast<std::uint64_t>(info.st_size),
                        Nanoseconds(info.st_mtim),
                        Nanoseconds(info.st_ctim)};
}

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }
    int Release() { return std::exchange(fd_, -1); }

  private:
    int fd_;
};

} // namespace

FileIdentity IdentifyFile(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return {};
    return IdentityOf(info);
}

Result<std::string> ReadRegularFile(const std::filesystem::path& path, std::uintmax_t limit) {
    // O_NONBLOCK: opening a FIFO neither waits for a writer nor hangs the caller; it is then
    // refused for what it is.
    Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.Get() < 0) {
        const int error = errno;
        return Error{error == ENOENT ? 404 : 500,
                     "cannot open " + Name(path) + ": " + std::strerror(error)};
    }
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode))
        return Error{415, Name(path) + " is not a regular file"};
    if (static_cast<std::uintmax_t>(info.st_size) > limit) {
        return Error{413, Name(path) + " is larger than " + std::to_string(limit) + " bytes"};
    }
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(file.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return Error{500, "cannot read " + Name(path) + ": " + std::strerror(errno)};
        if (got == 0)
            return text;
        // A file that grows while it is read is still bounded.
        if (text.size() + static_cast<std::size_t>(got) > limit)
            return Error{413, Name(path) + " is larger than " + std::to_string(limit) + " bytes"};
        text.append(buffer, static_cast<std::size_t>(got));
    }
}

struct AppendFile::Handle {
    int fd = -1;
    ~Handle() {
        if (fd >= 0)
            ::close(fd);
    }
};

AppendFile::AppendFile() : handle_(std::make_unique<Handle>()) {}
AppendFile::~AppendFile() = default;
AppendFile::AppendFile(AppendFile&&) noexcept = default;
AppendFile& AppendFile::operator=(AppendFile&&) noexcept = default;

Result<std::uintmax_t> AppendFile::Open(const std::filesystem::path& path) {
    if (!handle_)
        handle_ = std::make_unique<Handle>();
    Close();
    Descriptor file(::open(
        path.c_str(),
        O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0640));
    if (file.Get() < 0) {
        const int error = errno;
        if (error == ELOOP)
            return Error{415, Name(path) + " is a symbolic link"};
        return Error{500, "cannot open " + Name(path) + ": " + std::strerror(error)};
    }
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode))
        return Error{415, Name(path) + " is not a regular file"};
    // Writes block as a file's do; only the open had to be kept from waiting.
    ::fcntl(file.Get(), F_SETFL, O_APPEND);
    handle_->fd = file.Release();
    return static_cast<std::uintmax_t>(info.st_size);
}

bool AppendFile::Write(std::string_view text) {
    if (!IsOpen())
        return false;
    while (!text.empty()) {
        const ssize_t wrote = ::write(handle_->fd, text.data(), text.size());
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return false;
        text.remove_prefix(static_cast<std::size_t>(wrote));
    }
    return true;
}

void AppendFile::Close() {
    if (handle_ && handle_->fd >= 0) {
        ::close(handle_->fd);
        handle_->fd = -1;
    }
}

bool AppendFile::IsOpen() const {
    return handle_ && handle_->fd >= 0;
}

} // namespace tervane::service
