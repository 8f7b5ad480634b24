// The first stages of a pair's mode run for a dictionary of a text's words: by the pair's
// warm host beside its chain (the in-process runner), so that a word costs no process start;
// with the processes runner, as processes started for the request and ended with it, so that
// they take nothing from the warm translation pipelines.
#include "service/apertium/FirstStages.h"
#include "service/engines/ApertiumEngine.h"

namespace tervane::service {
namespace {

FirstStage FirstStageOf(WordStage stage) {
    switch (stage) {
    case WordStage::Analyser:
        return FirstStage::Analyser;
    case WordStage::DictionaryAnalyser:
        return FirstStage::DictionaryAnalyser;
    case WordStage::Tagger:
        return FirstStage::Tagger;
    case WordStage::Bilingual:
        break;
    }
    return FirstStage::Bilingual;
}

} // namespace

std::optional<Result<std::vector<std::string>>>
ApertiumEngine::RunWordStage(const Hop& hop, WordStage stage,
                             const std::vector<std::string>& streams, Clock::time_point deadline) {
    using Outputs = Result<std::vector<std::string>>;
    const auto mode = commands_.find(hop.id);
    if (mode == commands_.end())
        return std::nullopt;
    const FirstStage first = FirstStageOf(stage);
    const auto commands = FirstStageCommands(mode->second, first);
    if (!commands)
        return std::nullopt;
    std::unique_ptr<PipelinePool::Lease> lease;
    std::unique_ptr<Pipeline> own;
    Pipeline* pipeline = nullptr;
    std::string request;
    if (!settings_.pairHost.empty()) {
        Result<std::unique_ptr<PipelinePool::Lease>> leased = pool_.Acquire(hop.id, deadline);
        if (!leased.Ok())
            return Outputs(Error{leased.Failure().status,
                                 "Apertium pair " + hop.id + ": " + leased.Failure().reason});
        lease = std::move(leased).Value();
        pipeline = &**lease;
        request = {kFirstStagesRequest, static_cast<char>(first)};
    } else {
        Result<std::unique_ptr<Pipeline>> started = Pipeline::Start(*commands);
        if (!started.Ok())
            return Outputs(started.Failure());
        own = std::move(started).Value();
        pipeline = own.get();
    }
    std::vector<std::string> outputs;
    for (const std::string& stream : streams) {
        Result<std::string> output = pipeline->Exchange(
            request + stream, deadline, stream.size() * settings_.maxOutputFactor + 64 * 1024);
        if (!output.Ok()) {
            const Error& failure = output.Failure();
            return Outputs(Error{failure.status == 503 ? 502 : failure.status,
                                 "Apertium pair " + hop.id + " " + failure.reason});
        }
        outputs.push_back(std::move(output).Value());
    }
    return Outputs(std::move(outputs));
}

} // namespace tervane::service
