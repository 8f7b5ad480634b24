#include "service/apertium/host/CommandFlags.h"

namespace tervane::service::host {

bool CommandFlags::OnlyFrom(std::string_view known) const {
    for (const auto& [flag, value] : set) {
        if (known.find(flag) == std::string_view::npos)
            return false;
    }
    return true;
}

std::optional<CommandFlags> ReadFlags(const Command& command, std::string_view valued) {
    if (command.empty())
        return std::nullopt;
    CommandFlags flags;
    flags.program = command.front().substr(command.front().rfind('/') + 1);
    bool onlyFiles = false;
    for (std::size_t i = 1; i < command.size(); ++i) {
        const std::string& arg = command[i];
        if (onlyFiles || arg.size() < 2 || arg[0] != '-') {
            flags.files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            onlyFiles = true;
            continue;
        }
        if (arg[1] == '-')
            return std::nullopt;
        for (std::size_t j = 1; j < arg.size(); ++j) {
            const char flag = arg[j];
            if (valued.find(flag) == std::string_view::npos) {
                flags.set[flag] = "";
                continue;
            }
            if (j + 1 < arg.size()) {
                flags.set[flag] = arg.substr(j + 1);
            } else if (i + 1 < command.size()) {
                flags.set[flag] = command[++i];
            } else {
                return std::nullopt;
            }
            break;
        }
    }
    return flags;
}

} // namespace tervane::service::host
