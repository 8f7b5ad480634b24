// What the pair check found, kept across starts: each pair's result with the identity of
// its files (its mode file and every file its commands name: path, size, modification time,
// inode), so that a pair is checked again only when a package update changed them.
// Kept in the service's state directory: $STATE_DIRECTORY (systemd's StateDirectory=), else
// $XDG_STATE_HOME/tervane-service, else ~/.local/state/tervane-service.
#pragma once

#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tervane::service {

// The service's state directory as above; empty when none can be told (no HOME).
std::filesystem::path DefaultStateDirectory();

// One line of text naming each file's identity, in order; a missing file is named missing.
std::string IdentityOfFiles(const std::vector<std::filesystem::path>& files);

class PairCheckRecord {
  public:
    // file empty: results kept in memory only. Nothing is read until Known().
    explicit PairCheckRecord(std::filesystem::path file);

    // The result kept for the mode file under identity: true works, false broken; nothing
    // when none is kept or the files changed since.
    std::optional<bool> Known(const std::string& modeFile, const std::string& identity);
    // Keeps a result and writes the record (a new file put in place: never half written).
    void Keep(const std::string& modeFile, const std::string& identity, bool works);

  private:
    struct Entry {
        std::string identity;
        bool works = false;
    };
    void LoadLocked();
    void SaveLocked();

    std::filesystem::path file_;
    std::mutex mutex_;
    bool loaded_ = false;
    std::map<std::string, Entry> entries_; // by mode file
};

} // namespace tervane::service
