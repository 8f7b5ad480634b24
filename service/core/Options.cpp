#include "service/core/Options.h"

#include "protocol/ServiceProtocol.h"

#include <algorithm>
#include <optional>

namespace tervane::service {
namespace {

// The engine asked when --engine is not given.
constexpr std::string_view kDefaultEngine = "apertium";

template <typename T> bool ParseNumber(const std::string& text, T& value, T min, T max) {
    const std::optional<T> parsed = ReadNumber<T>(text, min, max);
    if (parsed)
        value = *parsed;
    return parsed.has_value();
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

bool IsEngine(const std::vector<EngineSyntax>& engines, const std::string& name) {
    return std::any_of(engines.begin(), engines.end(),
                       [&name](const EngineSyntax& engine) { return engine.name == name; });
}

std::vector<std::string> EngineNames(const std::vector<EngineSyntax>& engines) {
    std::vector<std::string> names;
    for (const EngineSyntax& engine : engines)
        names.push_back(engine.name);
    return names;
}

// "apertium,libretranslate": known names, each once, in the order given.
bool ParseEngines(const std::string& text, const std::vector<EngineSyntax>& known,
                  std::vector<std::string>& engines) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string name = text.substr(start, comma - start);
        if (!IsEngine(known, name))
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

bool IsSharedFlag(const std::string& flag) {
    static const std::vector<std::string> kWithValue = {"--listen",
                                                        "--engine",
                                                        "--api-keys",
                                                        "--rate-limit",
                                                        "--log-file",
                                                        "--timeout",
                                                        "--drain-timeout",
                                                        "--max-body",
                                                        "--max-active",
                                                        "--max-queue",
                                                        "--max-remote",
                                                        "--max-remote-body",
                                                        "--max-connections",
                                                        "--max-hops",
                                                        "--trusted-proxy",
                                                        "--char-limit",
                                                        "--rate-limit-storage"};
    return std::find(kWithValue.begin(), kWithValue.end(), flag) != kWithValue.end();
}

const EngineOption* FindEngineOption(const std::vector<EngineSyntax>& engines,
                                     const std::string& flag) {
    for (const EngineSyntax& engine : engines) {
        for (const EngineOption& option : engine.options) {
            if (option.flag == flag)
                return &option;
        }
    }
    return nullptr;
}

// "  --apy-url URL              APy server ...": the text of each line from the 30th column.
std::string UsageLines(const std::string& synopsis, const std::string& help) {
    constexpr std::size_t kTextColumn = 29;
    std::string lines = "  " + synopsis;
    lines.resize(std::max(kTextColumn, lines.size() + 1), ' ');
    for (std::size_t start = 0; start <= help.size();) {
        const std::size_t end = std::min(help.find('\n', start), help.size());
        if (start != 0)
            lines += std::string(kTextColumn, ' ');
        lines += help.substr(start, end - start) + "\n";
        start = end + 1;
    }
    return lines;
}

} // namespace

EngineOption::Check WordCheck(std::vector<std::string> words) {
    return [words = std::move(words)](const std::string& value) {
        return std::find(words.begin(), words.end(), value) != words.end()
                   ? std::string()
                   : "expected " + OrList(words);
    };
}

std::string OrList(const std::vector<std::string>& words) {
    std::string list;
    for (std::size_t i = 0; i < words.size(); ++i)
        list += (i == 0 ? "" : i + 1 == words.size() ? " or " : ", ") + words[i];
    return list;
}

Result<Options> ParseOptions(const std::vector<std::string>& args,
                             const std::vector<EngineSyntax>& engines) {
    Options options;
    for (const EngineSyntax& engine : engines) {
        for (const EngineOption& option : engine.options)
            options.engineValues[option.flag] = option.defaultValue;
    }
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
        const EngineOption* const engineOption = FindEngineOption(engines, flag);
        if (engineOption == nullptr && !IsSharedFlag(flag))
            return Error{400, "unknown option '" + flag + "' (see --help)"};
        if (!attached && i + 1 >= args.size())
            return Error{400, flag + " needs a value (see --help)"};
        const std::string value = attached ? *attached : args[++i];
        const auto bad = [&](const std::string& what) {
            return Error{400, "bad value '" + value + "' for " + flag + ": " + what};
        };
        if (engineOption != nullptr) {
            if (engineOption->check) {
                if (const std::string what = engineOption->check(value); !what.empty())
                    return bad(what);
            }
            options.engineValues[flag] = value;
        } else if (flag == "--listen") {
            if (!ParseListen(value, options))
                return bad("expected HOST:PORT");
        } else if (flag == "--engine") {
            if (!ParseEngines(value, engines, options.engines))
                return bad("expected " + OrList(EngineNames(engines)) +
                           ", or several in a row separated by commas, each once");
            options.engine = value;
        } else if (flag == "--api-keys") {
            options.acceptedKeysFile = value;
        } else if (flag == "--rate-limit") {
            if (!ParseRate(value, options.rateLimitPerMinute))
                return bad("expected N/min, N from 1 to 1000000");
        } else if (flag == "--rate-limit-storage") {
            options.rateLimitStorage = value; // checked where the limiter takes it
        } else if (flag == "--log-file") {
            options.logFile = value;
        } else if (flag == "--timeout") {
            double seconds = 0;
            if (!ParseNumber<double>(value, seconds, 0.05, 3600))
                return bad("seconds, 0.05 to 3600");
            options.timeoutSeconds = seconds;
        } else if (flag == "--trusted-proxy") {
            options.trustedProxies.push_back(value); // checked where the server takes it
        } else if (flag == "--drain-timeout") {
            if (!ParseNumber<double>(value, options.drainTimeoutSeconds, 0, 3600))
                return bad("seconds, 0 to 3600");
        } else if (flag == "--max-body") {
            if (!ParseNumber<std::size_t>(value, options.maxBody, 64, 64u * 1024 * 1024)) {
                return bad("bytes, 64 to 67108864");
            }
        } else if (flag == "--char-limit") {
            if (!ParseNumber<std::size_t>(value, options.charLimit, 1, 64u * 1024 * 1024))
                return bad("characters, 1 to 67108864");
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
        }
    }
    if (!options.allowRemote && (!options.acceptedKeysFile.empty() || options.rateLimitPerMinute))
        return Error{400,
                     std::string(options.acceptedKeysFile.empty() ? "--rate-limit" : "--api-keys") +
                         " is for a service that serves other machines: add --allow-remote"};
    if (!options.rateLimitStorage.empty() && options.rateLimitPerMinute == 0)
        return Error{400, "--rate-limit-storage keeps the counters of --rate-limit: add "
                          "--rate-limit N/min"};
    if (!options.allowRemote && !options.trustedProxies.empty())
        return Error{400, "--trusted-proxy is for a service that serves other machines through "
                          "a proxy: add --allow-remote"};
    // An engine asked for that lacks a value it cannot run without.
    for (const EngineSyntax& engine : engines) {
        if (std::find(options.engines.begin(), options.engines.end(), engine.name) ==
            options.engines.end())
            continue;
        for (const EngineOption& option : engine.options) {
            if (!option.neededAs.empty() && options.EngineValue(option.flag).empty())
                return Error{400, "--engine " + engine.name + " needs " + option.flag + ", " +
                                      option.neededAs + " (see --help)"};
        }
    }
    return options;
}

std::string Usage(const std::string& program, const std::vector<EngineSyntax>& engines) {
    std::vector<std::string> names;
    for (const EngineSyntax& engine : engines)
        names.push_back(engine.name == kDefaultEngine ? engine.name + " (default, offline)"
                                                      : engine.name);
    std::string engineOptions;
    for (const EngineSyntax& engine : engines) {
        for (const EngineOption& option : engine.options)
            engineOptions += UsageLines(option.flag + " " + option.valueName, option.help);
    }
    return "Usage: " + program + R"( [options]
Translation service for Tervane: answers POST /translate (and GET /health, GET /languages).
Every option that takes a value may also be written --option=VALUE.

  --listen HOST:PORT         address to listen on (default 127.0.0.1:58470; port 0 = any free)
  --allow-remote             allow a --listen address that is not loopback
)" +
           UsageLines("--engine NAME[,NAME...]",
                      OrList(names) +
                          ";\nseveral in a row (apertium,libretranslate): the first with a\n"
                          "route translates") +
           engineOptions +
           R"(  --api-keys FILE            with --allow-remote: the keys other machines must send (one a
                             line, # comments; the file is read again when it changes);
                             programs on this machine need none
  --rate-limit N/min         with --allow-remote: requests a minute for each key and each
                             address of another machine; beyond that 429 with Retry-After
  --rate-limit-storage redis://HOST:PORT[/DB]
                             the rate counters in a Redis, shared by every instance that
                             names it; while it cannot be reached each instance counts alone
  --trusted-proxy ADDR[/BITS]
                             with --allow-remote: a reverse proxy (repeatable) whose
                             X-Forwarded-For or Forwarded names the client; keys, rates and
                             the log take that client, not the proxy
  --timeout SECONDS          per request, waiting included (default 10)
  --drain-timeout SECONDS    on SIGTERM or SIGINT, how long the requests in flight may take
                             to be answered before the service ends anyway (default 10)
  --max-body BYTES           largest request body (default 65536)
  --char-limit N             characters a LibreTranslate request may hold, its texts together
                             (default: no limit but --max-body's)
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
