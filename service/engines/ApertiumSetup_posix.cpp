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
    if (options.apertiumRunner == "inprocess") {
        // Installed and built beside the service.
        std::error_code ec;
        const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
        settings.pairHost = (self.parent_path() / "tervane-pair-host").string();
        if (ec || !std::filesystem::exists(settings.pairHost))
            return Error{500, "the inprocess runner needs tervane-pair-host beside the service (" +
                                  settings.pairHost + ")"};
        settings.checkPairs = options.checkPairs;
    }
    auto engine = std::make_unique<ApertiumEngine>(std::move(settings));
    for (const std::string& line : engine->Skipped())
        log("skipped mode " + line);
    const std::size_t directions = engine->Pairs(Clock::now()).Value().size();
    log("apertium: " + std::to_string(engine->InstalledPairs()) + " Apertium modes, " +
        std::to_string(directions) + " language directions, from " + options.modesDir + " (" +
        options.apertiumRunner + ")");
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
