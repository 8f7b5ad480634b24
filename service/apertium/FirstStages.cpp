#include "service/apertium/FirstStages.h"

#include <algorithm>
#include <filesystem>

namespace tervane::service {
namespace {

std::string ToolOf(const Command& command) {
    return std::filesystem::path(command.front()).filename().string();
}

bool IsBilingualLookup(const Command& command) {
    return ToolOf(command) == "lt-proc" &&
           std::find(command.begin(), command.end(), "-b") != command.end();
}

} // namespace

std::optional<std::vector<Command>> FirstStageCommands(const std::vector<Command>& mode,
                                                       FirstStage stage) {
    const auto lookup = std::find_if(mode.begin(), mode.end(), IsBilingualLookup);
    if (lookup == mode.end() || lookup == mode.begin())
        return std::nullopt;
    switch (stage) {
    case FirstStage::Analyser:
    case FirstStage::DictionaryAnalyser: {
        if (ToolOf(mode.front()) != "lt-proc")
            return std::nullopt;
        Command analyser = mode.front();
        if (stage == FirstStage::DictionaryAnalyser &&
            std::find(analyser.begin(), analyser.end(), "-w") == analyser.end())
            analyser.insert(analyser.begin() + 1, "-w");
        return std::vector<Command>{analyser};
    }
    case FirstStage::Tagger:
        for (auto tagger = lookup; tagger != mode.begin();) {
            --tagger;
            if (ToolOf(*tagger) == "apertium-tagger")
                return std::vector<Command>(mode.begin(), tagger + 1);
        }
        return std::nullopt;
    case FirstStage::Bilingual:
        return std::vector<Command>{*lookup};
    }
    return std::nullopt;
}

} // namespace tervane::service
