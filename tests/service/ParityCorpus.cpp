#include "ParityCorpus.h"

#include <cstdio>
#include <fstream>
#include <future>
#include <unistd.h>

namespace tervane::testing {

std::vector<std::string> ReadCorpus(const std::filesystem::path& file) {
    std::vector<std::string> texts;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        if (line.empty())
            continue;
        for (std::size_t at; (at = line.find("\\n")) != std::string::npos;)
            line.replace(at, 2, "\n");
        texts.push_back(line);
    }
    return texts;
}

std::string StockTranslation(const std::string& text, const std::vector<std::string>& route) {
    char name[] = "/tmp/tervane-parity-XXXXXX";
    const int fd = ::mkstemp(name);
    if (fd < 0)
        return "(cannot make a temporary file)";
    ::close(fd);
    std::ofstream(name, std::ios::binary) << text;
    std::string command = "apertium -u " + route.front() + " <" + name;
    for (std::size_t i = 1; i < route.size(); ++i)
        command += " | apertium -u " + route[i];
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char chunk[4096];
        for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
            output.append(chunk, n);
        ::pclose(pipe);
    }
    std::remove(name);
    return output;
}

std::vector<std::string> StockTranslations(const std::vector<std::string>& texts,
                                           const std::vector<std::string>& route) {
    std::vector<std::string> stock(texts.size());
    for (std::size_t i = 0; i < texts.size(); i += 2) {
        auto second = std::async(std::launch::async, [&, i] {
            if (i + 1 < texts.size())
                stock[i + 1] = StockTranslation(texts[i + 1], route);
        });
        stock[i] = StockTranslation(texts[i], route);
        second.get();
    }
    return stock;
}

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text)
        out += c == '\n' ? std::string("\\n") : std::string(1, c);
    return out + "\"";
}

} // namespace tervane::testing
