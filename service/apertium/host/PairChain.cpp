#include "service/apertium/host/PairChain.h"

#include <future>

namespace tervane::service::host {

PairChain::PairChain(const std::vector<Command>& commands) {
    // The stages load their data side by side: a pair's first request waits for the
    // slowest of them, not for their sum.
    std::vector<std::future<std::unique_ptr<Stage>>> loading;
    for (const Command& command : commands)
        loading.push_back(std::async(std::launch::async, MakeLibraryStage, std::cref(command)));
    std::vector<Command> programs; // waiting to be joined into one process stage
    const auto startPrograms = [&] {
        if (programs.empty())
            return;
        stages_.push_back(MakeProcessStage(programs));
        programs.clear();
    };
    for (std::size_t i = 0; i < commands.size(); ++i) {
        const Command& command = commands[i];
        std::unique_ptr<Stage> stage = loading[i].get();
        const std::string name = command.front().substr(command.front().rfind('/') + 1);
        placement_.push_back(name + (stage ? " library" : " process"));
        if (!stage) {
            programs.push_back(command);
            continue;
        }
        startPrograms();
        stages_.push_back(std::move(stage));
    }
    startPrograms();
}

std::string PairChain::Translate(const std::string& stream) {
    std::string text = stream;
    for (const auto& stage : stages_)
        text = stage->Run(text);
    return text;
}

} // namespace tervane::service::host
