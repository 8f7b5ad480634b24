#include "service/engines/ApertiumSetup.h"

#include "service/engines/ApertiumEngine.h"

#include <filesystem>

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
    const std::size_t directions = engine->Pairs(Clock::now()).Value().size();
    log("apertium: " + std::to_string(engine->InstalledPairs()) + " installed pairs, " +
        std::to_string(directions) + " language directions, from " + options.modesDir);
    if (directions == 0) {
        std::error_code error;
        const std::string why = std::filesystem::is_directory(options.modesDir, error)
                                    ? options.modesDir + " holds no usable Apertium mode"
                                    : "the modes directory " + options.modesDir + " does not exist";
        // Alone, the engine could translate nothing: better no service than one that
        // answers every request with 422.
        if (options.engines.size() == 1)
            return Error{500, why + "; install apertium-* packages or give --modes-dir"};
        log("warning: " + why + "; only the other engines translate");
    }
    return std::unique_ptr<Engine>(std::move(engine));
}

} // namespace tervane::service
