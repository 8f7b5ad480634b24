#include "service/platform/RegularFile.h"

#include <fstream>
#include <system_error>

namespace tervane::service {
namespace {

std::string Name(const std::filesystem::path& path) {
    const std::u8string name = path.u8string();
    return std::string(name.begin(), name.end());
}

} // namespace

// Windows has no inode or change time that std::filesystem gives: size and time tell.
FileIdentity IdentifyFile(const std::filesystem::path& path) {
    std::error_code error;
    FileIdentity identity;
    identity.size = std::filesystem::file_size(path, error);
    if (error)
        return {};
    const auto written = std::filesystem::last_write_time(path, error);
    if (error)
        return {};
    identity.present = true;
    identity.modifiedNs =
        std::chrono::duration_cast<std::chrono::nanoseconds>(written.time_since_epoch()).count();
    return identity;
}

Result<std::string> ReadRegularFile(const std::filesystem::path& path, std::uintmax_t limit) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status))
        return Error{404, "cannot open " + Name(path) + ": no such file"};
    if (!std::filesystem::is_regular_file(status))
        return Error{415, Name(path) + " is not a regular file"};
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return Error{500, "cannot open " + Name(path)};
    std::string text(static_cast<std::size_t>(limit) + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (in.bad())
        return Error{500, "cannot read " + Name(path)};
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (text.size() > limit)
        return Error{413, Name(path) + " is larger than " + std::to_string(limit) + " bytes"};
    return text;
}

struct AppendFile::Handle {
    std::ofstream out;
};

AppendFile::AppendFile() : handle_(std::make_unique<Handle>()) {}

AppendFile::~AppendFile() = default;
AppendFile::AppendFile(AppendFile&&) noexcept = default;
AppendFile& AppendFile::operator=(AppendFile&&) noexcept = default;

Result<std::uintmax_t> AppendFile::Open(const std::filesystem::path& path) {
    if (!handle_)
        handle_ = std::make_unique<Handle>();
    Close();
    std::error_code error;
    const auto status = std::filesystem::symlink_status(path, error);
    if (std::filesystem::is_symlink(status))
        return Error{415, Name(path) + " is a symbolic link"};
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        return Error{415, Name(path) + " is not a regular file"};
    handle_->out.open(path, std::ios::binary | std::ios::app);
    if (!handle_->out)
        return Error{500, "cannot open " + Name(path)};
    return std::filesystem::file_size(path, error);
}

bool AppendFile::Write(std::string_view text) {
    if (!IsOpen())
        return false;
    handle_->out.write(text.data(), static_cast<std::streamsize>(text.size()));
    handle_->out.flush();
    return static_cast<bool>(handle_->out);
}

void AppendFile::Close() {
    if (!handle_)
        return;
    if (handle_->out.is_open())
        handle_->out.close();
    handle_->out.clear();
}

bool AppendFile::IsOpen() const {
    return handle_ && handle_->out.is_open();
}

} // namespace tervane::service
