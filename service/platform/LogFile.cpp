#include "service/platform/LogFile.h"

#include <fstream>
#include <memory>
#include <system_error>

namespace tervane::service {
namespace {

class RotatingFile {
  public:
    RotatingFile(std::filesystem::path path, std::uintmax_t limit)
        : path_(std::move(path)), limit_(limit) {}

    bool Open() {
        std::error_code error;
        if (path_.has_parent_path())
            std::filesystem::create_directories(path_.parent_path(), error);
        out_.open(path_, std::ios::binary | std::ios::app);
        size_ = out_ ? std::filesystem::file_size(path_, error) : 0;
        return static_cast<bool>(out_);
    }

    bool Write(std::string_view text) {
        if (size_ > 0 && size_ + text.size() > limit_)
            Rotate();
        out_.write(text.data(), static_cast<std::streamsize>(text.size()));
        out_.flush();
        size_ += text.size();
        return static_cast<bool>(out_);
    }

    // A file moved away (logrotate) is let go and the path opened anew; when it cannot be,
    // the old one goes on taking the lines rather than losing them.
    void Reopen() {
        std::ofstream fresh(path_, std::ios::binary | std::ios::app);
        if (!fresh)
            return;
        out_ = std::move(fresh);
        std::error_code error;
        size_ = std::filesystem::file_size(path_, error);
    }

  private:
    // A failed rename (the old file held open elsewhere) leaves the file growing rather than
    // losing lines.
    void Rotate() {
        out_.close();
        std::error_code error;
        std::filesystem::path old = path_;
        old += ".1";
        std::filesystem::rename(path_, old, error);
        Open();
    }

    std::filesystem::path path_;
    std::uintmax_t limit_;
    std::ofstream out_;
    std::uintmax_t size_ = 0;
};

} // namespace

Result<LogOutput> LogFileOutput(const std::filesystem::path& path, std::uintmax_t limit) {
    auto file = std::make_shared<RotatingFile>(path, limit);
    if (!file->Open()) {
        const std::u8string name = path.u8string();
        return Error{500, "cannot open the log file " + std::string(name.begin(), name.end())};
    }
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
