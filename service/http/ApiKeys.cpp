#include "service/http/ApiKeys.h"

#include "service/platform/RegularFile.h"

namespace tervane::service {
namespace {

// Files are looked at no more often than this: a request pays a read at most once a second.
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
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        text.remove_prefix(kByteOrderMark.size());
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

Result<std::size_t> ApiKeys::Load() {
    std::lock_guard lock(mutex_);
    RefreshLocked();
    if (!loaded_)
        return Error{500, failure_};
    return keys_.size();
}

void ApiKeys::Refresh() {
    std::lock_guard lock(mutex_);
    RefreshLocked();
}

void ApiKeys::RefreshLocked() {
    lookedAt_ = Clock::now();
    const Result<std::string> text = ReadRegularFile(file_, kApiKeysFileLimit);
    if (!text.Ok()) {
        const bool gone = text.Failure().status == 404;
        failure_ = text.Failure().reason;
        // Failing closed when the file is gone: a key withdrawn by deleting it must stop
        // working. Anything else put there is a mistake the last good keys outlive.
        if (gone) {
            keys_.clear();
            contentHash_ = 0;
            loaded_ = false;
        }
        const std::string problem =
            "api keys: " + text.Failure().reason +
            (gone || keys_.empty()
                 ? "; requests from other machines are refused until it can be read"
                 : "; the " + std::to_string(keys_.size()) + " keys read before stay valid");
        if (problem != problem_ && log_)
            log_(problem);
        problem_ = problem;
        return;
    }
    problem_.clear();
    const std::size_t hash = std::hash<std::string>{}(text.Value());
    if (loaded_ && hash == contentHash_)
        return;
    keys_ = ParseApiKeys(text.Value());
    contentHash_ = hash;
    loaded_ = true;
    if (log_)
        log_("api keys: " + std::to_string(keys_.size()) + " read from " + name_);
}

bool ApiKeys::Accepts(std::string_view key) {
    std::lock_guard lock(mutex_);
    if (Clock::now() - lookedAt_ >= kLookInterval)
        RefreshLocked();
    return !key.empty() && keys_.find(key) != keys_.end();
}

std::size_t ApiKeys::Count() {
    std::lock_guard lock(mutex_);
    return keys_.size();
}

} // namespace tervane::service
