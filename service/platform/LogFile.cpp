#include "service/platform/LogFile.h"

#include "service/platform/RegularFile.h"

#include <memory>
#include <system_error>

namespace tervane::service {
namespace {

class RotatingFile {
  public:
    RotatingFile(std::filesystem::path path, std::uintmax_t limit)
        : path_(std::move(path)), limit_(limit) {}

    // Only a regular file, never through a symbolic link: the service must not append to
    // whatever a link planted at the log's path points at.
    Result<std::uintmax_t> Open() {
        std::error_code error;
        if (path_.has_parent_path())
            std::filesystem::create_directories(path_.parent_path(), error);
        Result<std::uintmax_t> opened = out_.Open(path_);
        size_ = opened.Ok() ? opened.Value() : 0;
        return opened;
    }

    bool Write(std::string_view text) {
        if (size_ > 0 && size_ + text.size() > limit_)
            Rotate();
        if (!out_.IsOpen())
            return false;
        size_ += text.size();
        return out_.Write(text);
    }

    // A file moved away (logrotate) is let go and the path opened anew; when it cannot be,
    // the old one goes on taking the lines rather than losing them.
    void Reopen() {
        AppendFile fresh;
        const Result<std::uintmax_t> opened = fresh.Open(path_);
        if (!opened.Ok())
            return;
        out_ = std::move(fresh);
        size_ = opened.Value();
    }

  private:
    // A failed rename (the old file held open elsewhere) leaves the file growing rather than
    // losing lines.
    void Rotate() {
        out_.Close();
        std::error_code error;
        std::filesystem::path old = path_;
        old += ".1";
        std::filesystem::rename(path_, old, error);
        Open();
    }

    std::filesystem::path path_;
    std::uintmax_t limit_;
    AppendFile out_;
    std::uintmax_t size_ = 0;
};

} // namespace

Result<LogOutput> LogFileOutput(const std::filesystem::path& path, std::uintmax_t limit) {
    auto file = std::make_shared<RotatingFile>(path, limit);
    if (const Result<std::uintmax_t> opened = file->Open(); !opened.Ok())
        return Error{opened.Failure().status,
                     "cannot use the log file: " + opened.Failure().reason};
    LogOutput output;
    output.name = "the log file";
    output.write = [file](std::string_view text, const std::atomic<bool>&) {
        return file->Write(text);
    };
    output.stamped = true;
    output.reopen = [file] { file->Reopen(); };
    return output;
}

} // namespace tervane::service
