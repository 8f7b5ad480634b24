#include "service/engines/PairCheckRecord.h"

#include "service/platform/RegularFile.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

namespace tervane::service {
namespace {

// Far beyond the record of every pair Debian has.
constexpr std::uintmax_t kRecordLimit = 4 * 1024 * 1024;

std::filesystem::path FromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::filesystem::path(value)
                                              : std::filesystem::path();
}

} // namespace

std::filesystem::path DefaultStateDirectory() {
    // systemd's StateDirectory= may name several, separated by ':'; the first is ours.
    if (const auto systemd = FromEnvironment("STATE_DIRECTORY"); !systemd.empty()) {
        const std::string text = systemd.string();
        return text.substr(0, text.find(':'));
    }
    if (const auto xdg = FromEnvironment("XDG_STATE_HOME"); !xdg.empty())
        return xdg / "tervane-service";
    if (const auto home = FromEnvironment("HOME"); !home.empty())
        return home / ".local" / "state" / "tervane-service";
    return {};
}

std::string IdentityOfFiles(const std::vector<std::filesystem::path>& files) {
    std::string identity;
    for (const auto& file : files) {
        const FileIdentity id = IdentifyFile(file);
        identity += file.string() + ":";
        identity += id.present ? std::to_string(id.size) + ":" + std::to_string(id.modifiedNs) +
                                     ":" + std::to_string(id.inode)
                               : "missing";
        identity += ";";
    }
    return identity;
}

PairCheckRecord::PairCheckRecord(std::filesystem::path file) : file_(std::move(file)) {}

std::optional<bool> PairCheckRecord::Known(const std::string& modeFile,
                                           const std::string& identity) {
    std::lock_guard lock(mutex_);
    LoadLocked();
    const auto found = entries_.find(modeFile);
    if (found == entries_.end() || found->second.identity != identity)
        return std::nullopt;
    return found->second.works;
}

void PairCheckRecord::Keep(const std::string& modeFile, const std::string& identity, bool works) {
    std::lock_guard lock(mutex_);
    LoadLocked();
    entries_[modeFile] = Entry{identity, works};
    SaveLocked();
}

// One line a pair: the mode file, "works" or "broken", its files' identity, by tabs.
void PairCheckRecord::LoadLocked() {
    if (loaded_ || file_.empty())
        return;
    loaded_ = true;
    const Result<std::string> text = ReadRegularFile(file_, kRecordLimit);
    if (!text.Ok())
        return; // nothing known: every pair is checked
    std::istringstream lines(text.Value());
    std::string line;
    while (std::getline(lines, line)) {
        const std::size_t first = line.find('\t');
        const std::size_t second = line.find('\t', first + 1);
        if (first == std::string::npos || second == std::string::npos)
            continue;
        const std::string result = line.substr(first + 1, second - first - 1);
        if (result == "works" || result == "broken")
            entries_[line.substr(0, first)] = Entry{line.substr(second + 1), result == "works"};
    }
}

void PairCheckRecord::SaveLocked() {
    if (file_.empty())
        return;
    std::error_code error;
    std::filesystem::create_directories(file_.parent_path(), error);
    std::ostringstream text;
    for (auto it = entries_.begin(); it != entries_.end();) {
        // Pairs uninstalled (or made-up modes directories gone) are forgotten.
        if (!std::filesystem::exists(it->first, error)) {
            it = entries_.erase(it);
            continue;
        }
        text << it->first << '\t' << (it->second.works ? "works" : "broken") << '\t'
             << it->second.identity << '\n';
        ++it;
    }
    std::filesystem::path next = file_;
    next += ".new";
    {
        std::ofstream out(next, std::ios::binary | std::ios::trunc);
        out << text.str();
        if (!out)
            return; // a state directory that cannot be written: results stay in memory
    }
    std::filesystem::rename(next, file_, error);
}

} // namespace tervane::service
