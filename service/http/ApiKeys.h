// The keys a shared service accepts from other machines (--api-keys FILE): one key a line.
// The file is looked at again when it changes, so that an operator adds or withdraws a key
// without a restart; keys are compared, never logged.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <string_view>

namespace tervane::service {

class ApiKeys {
  public:
    using Clock = std::chrono::steady_clock;
    using Log = std::function<void(const std::string&)>;

    // name is the file as the operator wrote it, for the log. Nothing is read until Load().
    ApiKeys(std::filesystem::path file, std::string name, Log log);

    // Reads the file again; false (and no key accepted) when it cannot be read.
    bool Load();
    // Whether key is one of the file's. The file's time and size are looked at, at most once
    // a second, and it is read again when either changed (no thread of its own).
    bool Accepts(std::string_view key);
    std::size_t Count();

  private:
    struct Stamp {
        std::filesystem::file_time_type written{};
        std::uintmax_t size = 0;
        bool present = false;
        bool operator==(const Stamp&) const = default;
    };
    Stamp Look() const;
    bool LoadLocked();

    std::filesystem::path file_;
    std::string name_;
    Log log_;
    std::mutex mutex_;
    std::set<std::string, std::less<>> keys_;
    Stamp stamp_;
    Clock::time_point lookedAt_;
};

// Blank lines and lines that begin with '#' hold no key; blanks around a key are not part of
// it (nor a Windows line end).
std::set<std::string, std::less<>> ParseApiKeys(std::string_view text);

} // namespace tervane::service
