// The keys a shared service accepts from other machines (--api-keys FILE): one key a line.
// The file is looked at again when it changes, so that an operator adds or withdraws a key
// without a restart; keys are compared, never logged.
#pragma once

#include "service/core/Result.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <string_view>

namespace tervane::service {

// The largest keys file read: far beyond any office's keys, small enough to read each second.
inline constexpr std::uintmax_t kApiKeysFileLimit = 1024 * 1024;

// What another machine is told when its request carries no key, or a key not in the file
// (403); a face whose clients expect other words puts its own in their place.
inline constexpr std::string_view kKeyMissingReason =
    "An API key is required for requests from other machines: send Authorization: Bearer KEY, "
    "or api_key in the query or the body";
inline constexpr std::string_view kKeyInvalidReason = "The API key is not valid for this service";

class ApiKeys {
  public:
    using Clock = std::chrono::steady_clock;
    using Log = std::function<void(const std::string&)>;

    // name is the file as the operator wrote it, for the log. Nothing is read until Load().
    ApiKeys(std::filesystem::path file, std::string name, Log log);

    // Reads the file; the failure when it is missing, not a regular file, too large or
    // unreadable (the start refuses it).
    Result<std::size_t> Load();
    // Whether key is one of the file's. The file is looked at again at most once a second
    // (no thread of its own), by Refresh().
    bool Accepts(std::string_view key);
    // Reads the file again and takes its keys when its content changed. A file gone leaves
    // no key valid (withdrawing by deleting must work); one that cannot be used (not a
    // regular file, too large, unreadable) keeps the last good keys, with a log line.
    void Refresh();
    std::size_t Count();

  private:
    void RefreshLocked();

    std::filesystem::path file_;
    std::string name_;
    Log log_;
    std::mutex mutex_;
    std::set<std::string, std::less<>> keys_;
    // The content the keys were read from: a rewrite that keeps size and times (cp -p,
    // rsync -t) is still seen.
    std::size_t contentHash_ = 0;
    bool loaded_ = false;
    std::string problem_; // the last failure logged, so that it is logged once
    std::string failure_; // why the last read failed
    Clock::time_point lookedAt_;
};

// Blank lines and lines that begin with '#' hold no key; blanks around a key are not part of
// it (nor a Windows line end, nor a UTF-8 byte-order mark before the first line).
std::set<std::string, std::less<>> ParseApiKeys(std::string_view text);

} // namespace tervane::service
