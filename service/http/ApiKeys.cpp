#include "service/http/ApiKeys.h"

#include <fstream>
#include <sstream>

namespace tervane::service {
namespace {

// Files are looked at no more often than this: a request pays a stat at most once a second.
constexpr std::chrono::seconds kLookInterval{1};

std::string_view TrimBlanks(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::set<std::string, std::less<>> ParseApiKeys(std::string_view text) {
    std::set<std::string, std::less<>> keys;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = TrimBlanks(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!line.empty() && line.front() != '#')
            keys.emplace(line);
    }
    return keys;
}

ApiKeys::ApiKeys(std::filesystem::path file, std::string name, Log log)
    : file_(std::move(file)), name_(std::move(name)), log_(std::move(log)),
      lookedAt_(Clock::now()) {}

ApiKeys::Stamp ApiKeys::Look() const {
    std::error_code error;
    Stamp stamp;
    stamp.written = std::filesystem::last_write_time(file_, error);
    if (error)
        return stamp;
    stamp.size = std::filesystem::file_size(file_, error);
    stamp.present = !error;
    return stamp;
}

bool ApiKeys::Load() {
    std::lock_guard lock(mutex_);
    stamp_ = Look();
    return LoadLocked();
}

bool ApiKeys::LoadLocked() {
    std::ifstream in(file_, std::ios::binary);
    std::ostringstream text;
    if (in)
        text << in.rdbuf();
    if (!in || in.bad()) {
        // Failing closed: a key withdrawn by deleting the file must stop working.
        keys_.clear();
        if (log_)
            log_("api keys: cannot read " + name_ +
                 "; requests from other machines are refused until it can be read");
        return false;
    }
    keys_ = ParseApiKeys(text.str());
    if (log_)
        log_("api keys: " + std::to_string(keys_.size()) + " read from " + name_);
    return true;
}

bool ApiKeys::Accepts(std::string_view key) {
    std::lock_guard lock(mutex_);
    const auto now = Clock::now();
    if (now - lookedAt_ >= kLookInterval) {
        lookedAt_ = now;
        if (const Stamp stamp = Look(); !(stamp == stamp_)) {
            stamp_ = stamp;
            LoadLocked();
        }
    }
    return !key.empty() && keys_.find(key) != keys_.end();
}

std::size_t ApiKeys::Count() {
    std::lock_guard lock(mutex_);
    return keys_.size();
}

} // namespace tervane::service
