// The first stages of a pair's mode run on their own, for a dictionary of a text's words:
// started for the request and ended with it, so that they take nothing from the warm
// translation pipelines.
#include "service/engines/ApertiumEngine.h"

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

// The stage's commands in the pair's mode: the analyser is its first command, the tagger
// every command up to the last tagger before the bilingual lookup, the lookup its own.
std::optional<std::vector<Command>> StageCommands(const std::vector<Command>& mode,
                                                  WordStage stage) {
    const auto lookup = std::find_if(mode.begin(), mode.end(), IsBilingualLookup);
    if (lookup == mode.end() || lookup == mode.begin())
        return std::nullopt;
    switch (stage) {
    case WordStage::Analyser:
    case WordStage::DictionaryAnalyser: {
        if (ToolOf(mode.front()) != "lt-proc")
            return std::nullopt;
        Command analyser = mode.front();
        if (stage == WordStage::DictionaryAnalyser &&
            std::find(analyser.begin(), analyser.end(), "-w") == analyser.end())
            analyser.insert(analyser.begin() + 1, "-w");
        return std::vector<Command>{analyser};
    }
    case WordStage::Tagger:
        for (auto tagger = lookup; tagger != mode.begin();) {
            --tagger;
            if (ToolOf(*tagger) == "apertium-tagger")
                return std::vector<Command>(mode.begin(), tagger + 1);
        }
        return std::nullopt;
    case WordStage::Bilingual:
        return std::vector<Command>{*lookup};
    }
    return std::nullopt;
}

} // namespace

std::optional<Result<std::vector<std::string>>>
ApertiumEngine::RunWordStage(const Hop& hop, WordStage stage,
                             const std::vector<std::string>& streams, Clock::time_point deadline) {
    const auto mode = commands_.find(hop.id);
    if (mode == commands_.end())
        return std::nullopt;
    const auto commands = StageCommands(mode->second, stage);
    if (!commands)
        return std::nullopt;
    Result<std::unique_ptr<Pipeline>> pipeline = Pipeline::Start(*commands);
    if (!pipeline.Ok())
        return Result<std::vector<std::string>>(pipeline.Failure());
    std::vector<std::string> outputs;
    for (const std::string& stream : streams) {
        Result<std::string> output = pipeline.Value()->Exchange(
            stream, deadline, stream.size() * settings_.maxOutputFactor + 64 * 1024);
        if (!output.Ok()) {
            const Error& failure = output.Failure();
            return Result<std::vector<std::string>>(
                Error{failure.status == 503 ? 502 : failure.status,
                      "Apertium pair " + hop.id + " " + failure.reason});
        }
        outputs.push_back(std::move(output).Value());
    }
    return Result<std::vector<std::string>>(std::move(outputs));
}

} // namespace tervane::service
