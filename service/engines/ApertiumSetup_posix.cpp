#include "service/engines/ApertiumSetup.h"

#include "service/apertium/ProcessGroups.h"
#include "service/engines/ApertiumEngine.h"
#include "service/engines/PairCheckRecord.h"

#include <cstdio>
#include <filesystem>

namespace tervane::service {
namespace {

// The pair host's check of its own definitions of library functions against the installed
// libraries, as each host makes it at its start (whose standard error nobody reads): its
// line, for the log.
std::string PairHostCheck(const std::string& pairHost) {
    std::string quoted = "'";
    for (const char c : pairHost)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    quoted += "' --check-replacements 2>&1";
    FILE* pipe = ::popen(quoted.c_str(), "r");
    if (pipe == nullptr)
        return "cannot run " + pairHost + " --check-replacements";
    std::string line;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
        line += buffer;
    const int status = ::pclose(pipe);
    while (!line.empty() && line.back() == '\n')
        line.pop_back();
    return status == 0 && !line.empty() ? line : pairHost + " --check-replacements failed: " + line;
}

} // namespace

Result<std::unique_ptr<Engine>> MakeApertiumEngine(const ApertiumOptions& options,
                                                   const EngineLog& log) {
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
        if (const auto state = DefaultStateDirectory(); !state.empty())
            settings.checkRecord = state / "pair-checks";
    }
    const std::string pairHost = settings.pairHost;
    auto engine = std::make_unique<ApertiumEngine>(std::move(settings));
    for (const std::string& line : engine->Skipped())
        log("skipped mode " + line);
    const std::size_t directions = engine->Pairs(Clock::now()).Value().size();
    log("apertium: " + std::to_string(engine->InstalledPairs()) + " Apertium modes, " +
        std::to_string(directions) + " language directions, from " + options.modesDir + " (" +
        options.apertiumRunner + ")");
    if (!pairHost.empty())
        log("pair host: " + PairHostCheck(pairHost));
    if (directions == 0) {
        std::error_code error;
        const std::string why = std::filesystem::is_directory(options.modesDir, error)
                                    ? options.modesDir + " holds no usable Apertium mode"
                                    : "the modes directory " + options.modesDir + " does not exist";
        // Alone, the engine could translate nothing: better no service than one that
        // answers every request with 422.
        if (options.alone)
            return Error{500, why + "; install apertium-* packages or give --modes-dir"};
        log("warning: " + why + "; only the other engines translate");
    }
    return std::unique_ptr<Engine>(std::move(engine));
}

void EndApertiumProcesses(std::chrono::milliseconds grace) {
    EndAllGroups(grace);
}

} // namespace tervane::service
