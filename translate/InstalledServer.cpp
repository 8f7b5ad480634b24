#include "translate/InstalledServer.h"

#include <utility>
#include <vector>

namespace tervane {

namespace {

// The words of a Windows command line: blanks separate them, quotation marks hold blanks.
std::vector<std::string> Words(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false, inWord = false;
    for (const char c : line) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord)
                words.push_back(std::exchange(word, {}));
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(word);
    return words;
}

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

struct EngineName {
    std::string_view option; // --engine's value
    std::string_view name;
    std::string_view urlOption;
};
constexpr EngineName kEngines[] = {
    {"apy", "Apertium APy", "--apy-url"},
    {"libretranslate", "LibreTranslate", "--libretranslate-url"},
    {"tervane", "a Tervane service", "--tervane-url"},
    {"apertium", "Apertium on this computer", ""},
};

} // namespace

std::optional<InstalledServer> ServerOfServiceCommand(std::string_view commandLine) {
    const std::vector<std::string> words = Words(commandLine);
    if (words.empty() ||
        !(EndsWith(words[0], "tervane-service.exe") || EndsWith(words[0], "tervane-service")))
        return std::nullopt;
    std::string engine = "apertium";
    for (std::size_t i = 1; i + 1 < words.size(); ++i) {
        if (words[i] == "--engine")
            engine = words[i + 1];
    }
    for (const EngineName& known : kEngines) {
        if (known.option != engine)
            continue;
        InstalledServer server{std::string(known.name), {}};
        for (std::size_t i = 1; i + 1 < words.size(); ++i) {
            if (!known.urlOption.empty() && words[i] == known.urlOption)
                server.url = words[i + 1];
        }
        return server;
    }
    return InstalledServer{engine, {}};
}

std::optional<InstalledServer> ReadInstalledServer(Registry& registry) {
    const auto key = registry.Open(kServiceRunKey, false, false);
    if (!key)
        return std::nullopt;
    const auto value = key->Read(kServiceRunValue);
    if (!value ||
        (value->type != RegistryType::String && value->type != RegistryType::ExpandString))
        return std::nullopt;
    return ServerOfServiceCommand(value->text);
}

std::string DescribeServer(const InstalledServer& server) {
    return server.url.empty() ? server.engine : server.engine + " at " + server.url;
}

} // namespace tervane
