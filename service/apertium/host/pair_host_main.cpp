// tervane-pair-host: one Apertium pair's whole chain in one process. It reads the pair's
// mode file and speaks the stream the service's pipelines speak: a request is an Apertium
// stream ended by NUL on standard input, its translation ended by NUL on standard output.
// A request that starts with kFirstStagesRequest runs one of the pair's first stages instead
// (FirstStages.h), for a dictionary of the text's words.
// A stage that fails or crashes ends the host, and only the host: the service restarts it.
//
//   tervane-pair-host MODE_FILE            serve requests
//   tervane-pair-host --placement MODE_FILE  print where each stage runs, and end
//   tervane-pair-host --check-replacements   check its own definitions of library
//                                            functions (Replacements.h), print the
//                                            outcome, and end
#include "service/apertium/ApertiumMode.h"
#include "service/apertium/FirstStages.h"
#include "service/apertium/host/PairChain.h"
#include "service/apertium/host/Replacements.h"

#include <libxml/parser.h>
#include <lttoolbox/lt_locale.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace {

using namespace tervane::service;

bool WriteAll(const std::string& data) {
    std::size_t written = 0;
    while (written < data.size()) {
        const ssize_t n = ::write(STDOUT_FILENO, data.data() + written, data.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// The pair's first stages, each a chain of its own made at its first request.
class FirstStageChains {
  public:
    explicit FirstStageChains(std::vector<Command> mode) : mode_(std::move(mode)) {}

    std::string Run(char stage, const std::string& stream) {
        auto found = chains_.find(stage);
        if (found == chains_.end()) {
            const auto commands = FirstStageCommands(mode_, static_cast<FirstStage>(stage));
            if (!commands)
                throw std::runtime_error("the pair has no first stage '" + std::string(1, stage) +
                                         "'");
            found = chains_.emplace(stage, std::make_unique<host::PairChain>(*commands)).first;
        }
        return found->second->Translate(stream);
    }

  private:
    std::vector<Command> mode_;
    std::map<char, std::unique_ptr<host::PairChain>> chains_;
};

// Requests until standard input ends; false when the output went away.
bool Serve(host::PairChain& chain, FirstStageChains& firstStages) {
    std::string pending;
    char chunk[64 * 1024];
    while (true) {
        std::size_t nul;
        while ((nul = pending.find('\0')) == std::string::npos) {
            const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return true;
            pending.append(chunk, static_cast<std::size_t>(n));
        }
        const std::string request = pending.substr(0, nul);
        std::string answer = request.size() >= 2 && request[0] == kFirstStagesRequest
                                 ? firstStages.Run(request[1], request.substr(2))
                                 : chain.Translate(request);
        pending.erase(0, nul + 1);
        answer += '\0';
        if (!WriteAll(answer))
            return false;
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--check-replacements") == 0) {
        LtLocale::tryToSetLocale();
        std::cout << host::CheckReplacements().line << "\n";
        return 0;
    }
    const bool placement = argc == 3 && std::strcmp(argv[1], "--placement") == 0;
    if (argc != 2 && !placement) {
        std::cerr << "usage: tervane-pair-host [--placement] MODE_FILE\n";
        return 2;
    }
    const char* modeFile = argv[argc - 1];
    std::ifstream in(modeFile);
    std::stringstream text;
    text << in.rdbuf();
    if (!in) {
        std::cerr << "tervane-pair-host: cannot read " << modeFile << "\n";
        return 2;
    }
    const Result<std::vector<Command>> commands = ParseModeCommands(text.str());
    if (!commands.Ok()) {
        std::cerr << "tervane-pair-host: " << modeFile << ": " << commands.Failure().reason << "\n";
        return 2;
    }
    LtLocale::tryToSetLocale();
    // Before any stage runs, and after the locale is set, which the libraries' answers
    // depend on. The service logs the same check's outcome at its start.
    if (const host::CheckOutcome checked = host::CheckReplacements(); !checked.ownInUse)
        std::cerr << "tervane-pair-host: " << checked.line << "\n";
    xmlInitParser(); // once, before the stages read their rules on threads of their own
    try {
        host::PairChain chain(commands.Value());
        if (placement) {
            for (const std::string& line : chain.Placement())
                std::cout << line << "\n";
            return 0;
        }
        FirstStageChains firstStages(commands.Value());
        return Serve(chain, firstStages) ? 0 : 1;
    } catch (const std::exception& e) {
        std::cerr << "tervane-pair-host: " << modeFile << ": " << e.what() << "\n";
        return 1;
    }
}
