// The service's command line. The options every engine shares are fields here; the options
// one engine owns (--apy-url, --modes-dir, ...) are declared by that engine's row of the
// engine table (service/engines/EngineTable.h) and kept here by flag, as given.
#pragma once

#include "service/core/Result.h"

#include <charconv>
#include <cstddef>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tervane::service {

// One option an engine owns: the command line takes it, checks it and keeps its value for
// the engine's factory.
struct EngineOption {
    // What a bad value is told ("1 to 64": "bad value '0' for --pipes-per-pair: 1 to 64"), or
    // empty for a good one.
    using Check = std::function<std::string(const std::string& value)>;

    // check null: every value is good. neededAs not empty: an engine that cannot run without
    // a value; says what the value is ("the address of the Tervane service to ask").
    EngineOption(std::string optionFlag, std::string optionValueName, std::string optionHelp,
                 std::string optionDefault = "", Check optionCheck = nullptr,
                 std::string optionNeededAs = "")
        : flag(std::move(optionFlag)), valueName(std::move(optionValueName)),
          help(std::move(optionHelp)), defaultValue(std::move(optionDefault)),
          check(std::move(optionCheck)), neededAs(std::move(optionNeededAs)) {}

    std::string flag;         // "--apy-url"
    std::string valueName;    // "URL", for --help
    std::string help;         // its text in --help, lines separated by '\n'
    std::string defaultValue; // what the factory reads when the option is not given
    Check check;
    std::string neededAs;
};

// What the command line knows of one engine: its name and the options it owns.
struct EngineSyntax {
    std::string name;
    std::vector<EngineOption> options;
};

// A number from the whole text within [min, max]; nullopt for anything else.
template <typename T>
std::optional<T> ReadNumber(const std::string& text, T min = std::numeric_limits<T>::lowest(),
                            T max = std::numeric_limits<T>::max()) {
    T parsed{};
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (ec != std::errc() || ptr != text.data() + text.size() || parsed < min || parsed > max)
        return std::nullopt;
    return parsed;
}

// An EngineOption's check: a number within [min, max], else `what` is told.
template <typename T> EngineOption::Check NumberCheck(T min, T max, std::string what) {
    return [min, max, what = std::move(what)](const std::string& value) {
        return ReadNumber<T>(value, min, max) ? std::string() : what;
    };
}

// An EngineOption's check: one of the words given ("expected processes or inprocess").
EngineOption::Check WordCheck(std::vector<std::string> words);

// "a, b or c".
std::string OrList(const std::vector<std::string>& words);

struct Options {
    std::string host = "127.0.0.1";
    unsigned short port = 58470;
    bool allowRemote = false;
    std::string engine = "apertium";              // as given: "apertium,libretranslate"
    std::vector<std::string> engines{"apertium"}; // the same, one name each, asked in order
    // Every engine option of every engine, by flag: the value given, else its default.
    std::map<std::string, std::string> engineValues;
    // Serving other machines (--allow-remote): the keys they must send, and each client's
    // requests a minute (0: no limit).
    std::string acceptedKeysFile;
    std::size_t rateLimitPerMinute = 0;
    double timeoutSeconds = 10;
    std::string rateLimitStorage; // --rate-limit-storage redis://...; empty: this instance's memory
    std::vector<std::string> trustedProxies; // --trusted-proxy ADDR[/BITS], each as given
    double drainTimeoutSeconds = 10; // at the stop, for the requests in flight to be answered
    std::size_t maxBody = 64 * 1024;
    std::size_t maxActive = 8;
    std::size_t maxQueue = 32;
    std::size_t maxRemote = 4;     // translations by remote engines at once, apart from maxActive
    std::size_t maxRemoteBody = 0; // a remote answer's body at most; 0: 4 times maxBody
    std::size_t maxConnections = 64;
    std::size_t maxHops = 4;
    // LibreTranslate's --char-limit: characters a request of its face may hold (0: no limit).
    std::size_t charLimit = 0;
    std::string logFile; // empty: the platform's default (DefaultLogFile); "-": standard error
    bool stop = false;   // --stop: ask the service listening on host:port to stop
    bool help = false;
    bool version = false;

    std::size_t MaxRemoteBody() const { return maxRemoteBody != 0 ? maxRemoteBody : 4 * maxBody; }
    // An engine option's value (given or default), by its flag.
    const std::string& EngineValue(const std::string& flag) const { return engineValues.at(flag); }
};

// The options given, or what is wrong with them (400), one line. engines: every engine the
// service knows, with the options each owns.
Result<Options> ParseOptions(const std::vector<std::string>& args,
                             const std::vector<EngineSyntax>& engines);

std::string Usage(const std::string& program, const std::vector<EngineSyntax>& engines);

} // namespace tervane::service
