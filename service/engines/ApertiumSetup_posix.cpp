#include "service/engines/ApertiumSetup.h"

#include "service/engines/ApertiumEngine.h"

namespace tervane::service {

Result<std::unique_ptr<Engine>>
MakeApertiumEngine(const Options& options, const std::function<void(const std::string&)>& log) {
    ApertiumSettings settings;
    settings.modesDir = options.modesDir;
    settings.pool.perPair = options.pipesPerPair;
    settings.pool.maxPipelines = options.maxPipelines;
    settings.pool.idleTimeout =
        std::chrono::milliseconds(static_cast<long long>(options.idleTimeoutSeconds * 1000));
    settings.pool.recycleAfter = options.recycleAfter;
    settings.log = log;
    auto engine = std::make_unique<ApertiumEngine>(std::move(settings));
    for (const std::string& line : engine->Skipped())
        log("skipped mode " + line);
    const std::size_t pairs = engine->Pairs(Clock::now()).Value().size();
    log("apertium: " + std::to_string(pairs) + " language directions from " + options.modesDir);
    if (pairs == 0)
        log("warning: no usable Apertium pairs; install apertium-* packages");
    return std::unique_ptr<Engine>(std::move(engine));
}

} // namespace tervane::service
