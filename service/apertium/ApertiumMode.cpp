#include "service/apertium/ApertiumMode.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tervane::service {
namespace {

// Tools that read and write Apertium streams and take -z (flush at each NUL).
constexpr std::array<std::string_view, 13> kNullFlushTools = {"lt-proc",
                                                              "apertium-tagger",
                                                              "apertium-pretransfer",
                                                              "apertium-transfer",
                                                              "apertium-interchunk",
                                                              "apertium-postchunk",
                                                              "lrx-proc",
                                                              "cg-proc",
                                                              "apertium-posttransfer",
                                                              "apertium-anaphora",
                                                              "rtx-proc",
                                                              "lsx-proc",
                                                              "hfst-proc"};

bool WantsNullFlush(const Command& command) {
    const std::string_view program = command.front();
    const std::string_view base = program.substr(program.rfind('/') + 1);
    if (std::find(kNullFlushTools.begin(), kNullFlushTools.end(), base) == kNullFlushTools.end()) {
        return false;
    }
    return std::find(command.begin(), command.end(), "-z") == command.end();
}

bool IsValidLanguage(std::string_view code) {
    return !code.empty() && code.size() <= 24 && std::all_of(code.begin(), code.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_';
    });
}

} // namespace

std::optional<ModeName> ParseModeName(std::string_view name) {
    const std::size_t dash = name.find('-');
    if (dash == std::string_view::npos || name.find('-', dash + 1) != std::string_view::npos) {
        return std::nullopt;
    }
    ModeName mode{std::string(name.substr(0, dash)), std::string(name.substr(dash + 1))};
    if (!IsValidLanguage(mode.source) || !IsValidLanguage(mode.target))
        return std::nullopt;
    return mode;
}

Result<std::vector<Command>> ParseModeCommands(std::string_view text) {
    std::vector<Command> commands;
    Command command;
    std::string word;
    bool inWord = false;
    bool quotedWord = false; // an explicitly quoted word is kept even when empty
    const auto endWord = [&] {
        if (inWord) {
            if (quotedWord || word != "$2")
                command.push_back(word == "$1" && !quotedWord ? "-n" : word);
        }
        word.clear();
        inWord = quotedWord = false;
    };
    const auto endCommand = [&]() -> bool {
        endWord();
        if (command.empty())
            return false;
        commands.push_back(std::move(command));
        command.clear();
        return true;
    };
    // The status a client would get if such a mode were asked for: this machine cannot run it.
    const auto unsupported = [](std::string why) { return Error{500, std::move(why)}; };

    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\'') {
            const std::size_t close = text.find('\'', i + 1);
            if (close == std::string_view::npos)
                return unsupported("unterminated single quote");
            word.append(text.substr(i + 1, close - i - 1));
            inWord = quotedWord = true;
            i = close;
        } else if (c == '"') {
            inWord = quotedWord = true;
            for (++i; i < text.size() && text[i] != '"'; ++i) {
                if (text[i] == '$' || text[i] == '`')
                    return unsupported("substitution inside quotes");
                if (text[i] == '\\' && i + 1 < text.size() &&
                    std::string_view("\"\\$`").find(text[i + 1]) != std::string_view::npos) {
                    ++i;
                }
                word += text[i];
            }
            if (i >= text.size())
                return unsupported("unterminated double quote");
        } else if (c == '\\') {
            if (i + 1 >= text.size())
                return unsupported("trailing backslash");
            if (text[i + 1] != '\n')
                word += text[i + 1];
            inWord = true;
            ++i;
        } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            endWord();
        } else if (c == '|') {
            if (!endCommand())
                return unsupported("empty command in pipeline");
        } else if (c == '$') {
            if (i + 1 < text.size() && (text[i + 1] == '1' || text[i + 1] == '2') &&
                (i + 2 >= text.size() ||
                 std::string_view(" \t\n\r|").find(text[i + 2]) != std::string_view::npos) &&
                !inWord) {
                word = text.substr(i, 2);
                inWord = true;
                ++i;
            } else {
                return unsupported("shell substitution");
            }
        } else if (std::string_view(";&<>()`*?[]{}~#").find(c) != std::string_view::npos &&
                   !(inWord && (c == '#' || c == '~'))) {
            return unsupported(std::string("shell syntax '") + c + "'");
        } else {
            word += c;
            inWord = true;
        }
    }
    if (!endCommand())
        return unsupported(commands.empty() ? "no command" : "empty command in pipeline");
    for (Command& each : commands) {
        if (WantsNullFlush(each))
            each.insert(each.begin() + 1, "-z");
    }
    return commands;
}

ModeScan ScanModes(const std::string& directory) {
    namespace fs = std::filesystem;
    ModeScan scan;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(directory, ec)) {
        if (entry.path().extension() != ".mode")
            continue;
        const std::string name = entry.path().stem().string();
        const auto pair = ParseModeName(name);
        if (!pair)
            continue; // not a translation pair (analysers, debug modes)
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        Result<std::vector<Command>> commands = ParseModeCommands(text.str());
        if (!commands.Ok()) {
            scan.skipped.push_back(name + ": " + commands.Failure().reason);
            continue;
        }
        scan.modes.push_back(InstalledMode{name, *pair, std::move(commands).Value()});
    }
    if (ec)
        scan.skipped.push_back(directory + ": " + ec.message());
    std::sort(scan.modes.begin(), scan.modes.end(),
              [](const InstalledMode& a, const InstalledMode& b) { return a.name < b.name; });
    return scan;
}

} // namespace tervane::service
