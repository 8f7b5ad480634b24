#include "service/engines/ApertiumSetup.h"

namespace tervane::service {
namespace {

template <typename T> T Number(const Options& options, const std::string& flag) {
    return ReadNumber<T>(options.EngineValue(flag)).value(); // checked by the command line
}

Result<std::unique_ptr<Engine>> MakeFromCommandLine(const Options& options, const EngineLog& log) {
    ApertiumOptions apertium;
    apertium.modesDir = options.EngineValue("--modes-dir");
    apertium.pipesPerPair = Number<std::size_t>(options, "--pipes-per-pair");
    apertium.maxPipelines = Number<std::size_t>(options, "--max-pipelines");
    apertium.idleTimeoutSeconds = Number<double>(options, "--idle-timeout");
    apertium.recycleAfter = Number<unsigned long>(options, "--recycle-after");
    apertium.apertiumRunner = options.EngineValue("--apertium-runner");
    apertium.checkPairs = options.EngineValue("--check-pairs") == "on";
    apertium.alone = options.engines.size() == 1;
    return MakeApertiumEngine(apertium, log);
}

} // namespace

EngineDefinition ApertiumEngineDefinition() {
    return {.syntax =
                {.name = "apertium",
                 .options =
                     {{"--modes-dir", "DIR", "Apertium modes (default /usr/share/apertium/modes)",
                       "/usr/share/apertium/modes"},
                      {"--apertium-runner", "RUNNER",
                       "inprocess (default): one pair host per pipeline, the stages\n"
                       "through Apertium's libraries (stages without a library as\n"
                       "processes behind it); processes: a process per stage of a pair",
                       "inprocess", WordCheck({"processes", "inprocess"})},
                      {"--check-pairs", "on|off",
                       "inprocess: translate each pair's check sentence before its first use and\n"
                       "leave out the pairs that crash on it (default on)",
                       "on", WordCheck({"on", "off"})},
                      {"--pipes-per-pair", "N",
                       "most Apertium pipelines per pair (default 2; a second starts only\n"
                       "while requests for the pair wait)",
                       "2", NumberCheck<std::size_t>(1, 64, "1 to 64")},
                      {"--max-pipelines", "N",
                       "most Apertium pipelines live at once, all pairs together; the\n"
                       "least recently used ends first (default 24)",
                       "24", NumberCheck<std::size_t>(1, 1024, "1 to 1024")},
                      {"--idle-timeout", "SECONDS",
                       "an Apertium pipeline unused this long ends (default 300)", "300",
                       NumberCheck<double>(0.05, 7 * 24 * 3600.0, "seconds, 0.05 to 604800")},
                      {"--recycle-after", "N",
                       "an Apertium pipeline is replaced after N requests (default 100000)",
                       "100000", NumberCheck<unsigned long>(1, 1000000000, "1 to 1000000000")}}},
            .make = MakeFromCommandLine};
}

} // namespace tervane::service
