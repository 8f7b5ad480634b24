#include "service/core/Options.h"

#include "protocol/ServiceProtocol.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace tervane::service {
namespace {

template <typename T> bool ParseNumber(const std::string& text, T& value, T min, T max) {
    T parsed{};
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (ec != std::errc() || ptr != text.data() + text.size() || parsed < min || parsed > max) {
        return false;
    }
    value = parsed;
    return true;
}

bool ParseListen(const std::string& text, Options& options) {
    // host:port, or [v6]:port
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0)
        return false;
    std::string host = text.substr(0, colon);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
    unsigned short port = 0;
    if (!ParseNumber<unsigned short>(text.substr(colon + 1), port, 0, 65535))
        return false;
    options.host = host;
    options.port = port;
    return !host.empty();
}

// "apertium,libretranslate": known names, each once, in the order given.
bool ParseEngines(const std::string& text, std::vector<std::string>& engines) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string name = text.substr(start, comma - start);
        if (name != "apertium" && name != "apy" && name != "libretranslate" && name != "tervane")
            return false;
        if (std::find(names.begin(), names.end(), name) != names.end())
            return false;
        names.push_back(name);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    engines = std::move(names);
    return true;
}

// "30/min" (or "30/minute"): requests a minute.
bool ParseRate(const std::string& text, std::size_t& perMinute) {
    const std::size_t slash = text.find('/');
    if (slash == std::string::npos)
        return false;
    const std::string unit = text.substr(slash + 1);
    return (unit == "min" || unit == "minute") &&
           ParseNumber<std::size_t>(text.substr(0, slash), perMinute, 1, 1000000);
}

bool IsKnownFlag(const std::string& flag) {
    static const std::vector<std::string> kWithValue = {"--listen",
                                                        "--engine",
                                                        "--modes-dir",
                                                        "--apy-url",
                                                        "--libretranslate-url",
                                                        "--api-key-file",
                                                        "--tervane-url",
                                                        "--tervane-key-file",
                                                        "--api-keys",
                                                        "--rate-limit",
                                                        "--log-file",
                                                        "--pipes-per-pair",
                                                        "--timeout",
                                                        "--max-body",
                                                        "--max-active",
                                                        "--max-queue",
                                                        "--max-remote",
                                                        "--max-remote-body",
                                                        "--max-connections",
                                                        "--max-hops",
                                                        "--idle-timeout",
                                                        "--max-pipelines",
                                                        "--recycle-after",
                                                        "--apertium-runner",
                                                        "--check-pairs"};
    return std::find(kWithValue.begin(), kWithValue.end(), flag) != kWithValue.end();
}

} // namespace

Result<Options> ParseOptions(const std::vector<std::string>& args) {
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        // --flag=value is --flag value.
        std::string flag = args[i];
        std::optional<std::string> attached;
        if (const std::size_t equals = flag.find('=');
            flag.rfind("--", 0) == 0 && equals != std::string::npos) {
            attached = flag.substr(equals + 1);
            flag.resize(equals);
        }
        bool* const switched = flag == "--help" || flag == "-h" ? &options.help
                               : flag == "--version"            ? &options.version
                               : flag == "--allow-remote"       ? &options.allowRemote
                               : flag == "--stop"               ? &options.stop
                                                                : nullptr;
        if (switched != nullptr) {
            if (attached)
                return Error{400, flag + " takes no value (see --help)"};
            *switched = true;
            continue;
        }
        if (!IsKnownFlag(flag))
            return Error{400, "unknown option '" + flag + "' (see --help)"};
        if (!attached && i + 1 >= args.size())
            return Error{400, flag + " needs a value (see --help)"};
        const std::string value = attached ? *attached : args[++i];
        const auto bad = [&](const std::string& what) {
            return Error{400, "bad value '" + value + "' for " + flag + ": " + what};
        };
        if (flag == "--listen") {
            if (!ParseListen(value, options))
                return bad("expected HOST:PORT");
        } else if (flag == "--engine") {
            if (!ParseEngines(value, options.engines))
                return bad("expected apertium, apy, libretranslate or tervane, or several in a row "
                           "separated by commas, each once");
            options.engine = value;
        } else if (flag == "--modes-dir") {
            options.modesDir = value;
        } else if (flag == "--apy-url") {
            options.apyUrl = value;
        } else if (flag == "--libretranslate-url") {
            options.libreTranslateUrl = value;
        } else if (flag == "--api-key-file") {
            options.apiKeyFile = value;
        } else if (flag == "--tervane-url") {
            options.tervaneUrl = value;
        } else if (flag == "--tervane-key-file") {
            options.tervaneKeyFile = value;
        } else if (flag == "--api-keys") {
            options.acceptedKeysFile = value;
        } else if (flag == "--rate-limit") {
            if (!ParseRate(value, options.rateLimitPerMinute))
                return bad("expected N/min, N from 1 to 1000000");
        } else if (flag == "--log-file") {
            options.logFile = value;
        } else if (flag == "--apertium-runner") {
            if (value != "processes" && value != "inprocess")
                return bad("expected processes or inprocess");
            options.apertiumRunner = value;
        } else if (flag == "--check-pairs") {
            if (value != "on" && value != "off")
                return bad("expected on or off");
            options.checkPairs = value == "on";
        } else if (flag == "--pipes-per-pair") {
            if (!ParseNumber<std::size_t>(value, options.pipesPerPair, 1, 64))
                return bad("1 to 64");
        } else if (flag == "--timeout") {
            double seconds = 0;
            if (!ParseNumber<double>(value, seconds, 0.05, 3600))
                return bad("seconds, 0.05 to 3600");
            options.timeoutSeconds = seconds;
        } else if (flag == "--max-body") {
            if (!ParseNumber<std::size_t>(value, options.maxBody, 64, 64u * 1024 * 1024)) {
                return bad("bytes, 64 to 67108864");
            }
        } else if (flag == "--max-active") {
            if (!ParseNumber<std::size_t>(value, options.maxActive, 1, 1024))
                return bad("1 to 1024");
        } else if (flag == "--max-queue") {
            if (!ParseNumber<std::size_t>(value, options.maxQueue, 0, 65536))
                return bad("0 to 65536");
        } else if (flag == "--max-remote") {
            if (!ParseNumber<std::size_t>(value, options.maxRemote, 1, 1024))
                return bad("1 to 1024");
        } else if (flag == "--max-remote-body") {
            if (!ParseNumber<std::size_t>(value, options.maxRemoteBody, 1024, 256u * 1024 * 1024))
                return bad("bytes, 1024 to 268435456");
        } else if (flag == "--max-connections") {
            if (!ParseNumber<std::size_t>(value, options.maxConnections, 1, 4096)) {
                return bad("1 to 4096");
            }
        } else if (flag == "--max-hops") {
            if (!ParseNumber<std::size_t>(value, options.maxHops, 1, 8))
                return bad("1 to 8");
        } else if (flag == "--idle-timeout") {
            if (!ParseNumber<double>(value, options.idleTimeoutSeconds, 0.05, 7 * 24 * 3600.0))
                return bad("seconds, 0.05 to 604800");
        } else if (flag == "--max-pipelines") {
            if (!ParseNumber<std::size_t>(value, options.maxPipelines, 1, 1024))
                return bad("1 to 1024");
        } else if (flag == "--recycle-after") {
            if (!ParseNumber<unsigned long>(value, options.recycleAfter, 1, 1000000000))
                return bad("1 to 1000000000");
        }
    }
    if (!options.allowRemote && (!options.acceptedKeysFile.empty() || options.rateLimitPerMinute))
        return Error{400,
                     std::string(options.acceptedKeysFile.empty() ? "--rate-limit" : "--api-keys") +
                         " is for a service that serves other machines: add --allow-remote"};
    const bool tervane = std::find(options.engines.begin(), options.engines.end(), "tervane") !=
                         options.engines.end();
    if (tervane && options.tervaneUrl.empty())
        return Error{400, "--engine tervane needs --tervane-url, the address of the Tervane "
                          "service to ask (see --help)"};
    return options;
}

std::string Usage(const std::string& program) {
    return "Usage: " + program + R"( [options]
Translation service for Tervane: answers POST /translate (and GET /health, GET /languages).
Every option that takes a value may also be written --option=VALUE.

  --listen HOST:PORT         address to listen on (default 127.0.0.1:58470; port 0 = any free)
  --allow-remote             allow a --listen address that is not loopback
  --engine NAME[,NAME...]    apertium (default, offline), apy, libretranslate or tervane;
                             several in a row (apertium,libretranslate): the first with a
                             route translates
  --modes-dir DIR            Apertium modes (default /usr/share/apertium/modes)
  --apy-url URL              APy server for --engine apy (default http://127.0.0.1:2737)
  --libretranslate-url URL   server for --engine libretranslate (default http://127.0.0.1:5000)
  --api-key-file FILE        LibreTranslate API key, read from FILE (first line)
  --tervane-url URL          for --engine tervane: another Tervane service, on another
                             machine or in WSL (http:// or https://)
  --tervane-key-file FILE    the key that service gave you, read from FILE (first line)
  --api-keys FILE            with --allow-remote: the keys other machines must send (one a
                             line, # comments; the file is read again when it changes);
                             programs on this machine need none
  --rate-limit N/min         with --allow-remote: requests a minute for each key and each
                             address of another machine; beyond that 429 with Retry-After
  --apertium-runner RUNNER   inprocess (default): one pair host per pipeline, the stages
                             through Apertium's libraries (stages without a library as
                             processes behind it); processes: a process per stage of a pair
  --check-pairs on|off       inprocess: translate each pair's check sentence before its first use and
                             leave out the pairs that crash on it (default on)
  --pipes-per-pair N         most Apertium pipelines per pair (default 2; a second starts only
                             while requests for the pair wait)
  --max-pipelines N          most Apertium pipelines live at once, all pairs together; the
                             least recently used ends first (default 24)
  --idle-timeout SECONDS     an Apertium pipeline unused this long ends (default 300)
  --recycle-after N          an Apertium pipeline is replaced after N requests (default 100000)
  --timeout SECONDS          per request, waiting included (default 10)
  --max-body BYTES           largest request body (default 65536)
  --max-active N             offline translations run at once (default 8)
  --max-queue N              translations that may wait for a turn before 503 (default 32)
  --max-remote N             translations by remote engines (apy, libretranslate) at once,
                             apart from --max-active's (default 4)
  --max-remote-body BYTES    largest answer taken from a remote engine; a larger one is a 502
                             (default 4 times --max-body)
  --max-connections N        open connections (default 64)
  --max-hops N               longest chain of pairs (default 4)
  --log-file PATH            write the log to PATH, a new file begun at 1 MiB (the old one
                             kept as PATH.1); "-" is standard error. Default: standard error
                             on Linux, %LOCALAPPDATA%\Tervane\tervane-service.log on Windows
  --stop                     Windows: stop the service listening on --listen's address and
                             wait up to 10 s for it to end (exit 0: stopped, 1: none was
                             running, 3: still running). Linux: not supported here (exit 2);
                             stop the service with SIGTERM or SIGINT
  --version                  the version
  --help                     this text

One line per request goes to the log: codes, bytes, route, status, milliseconds.
On Windows the apertium engine is not available: use libretranslate, apy or tervane there.
)";
}

} // namespace tervane::service
