// lrx-proc's lexical selection on apertium-lex-tools' LRXProcessor.
#include "service/apertium/host/LibraryStages.h"
#include "service/apertium/host/MemoryStream.h"

#include <lrx_processor.h>

#include <cstdio>
#include <stdexcept>

namespace tervane::service::host {
namespace {

class LexicalSelectionStage : public Stage {
  public:
    explicit LexicalSelectionStage(const std::string& rules) {
        FILE* in = std::fopen(rules.c_str(), "rb");
        if (in == nullptr)
            throw std::runtime_error("cannot open " + rules);
        processor_.load(in);
        std::fclose(in);
        processor_.init();
    }

    std::string Run(const std::string& input) override {
        return ProcessInMemory(input,
                               [this](InputFile& in, UFILE* out) { processor_.process(in, out); });
    }

    std::string Kind() const override { return "library"; }

  private:
    LRXProcessor processor_;
};

} // namespace

std::unique_ptr<Stage> MakeLexicalSelection(const CommandFlags& flags) {
    // -m is an old option lrx-proc accepts and ignores.
    if (!flags.OnlyFrom("mz") || flags.files.size() != 1)
        return nullptr;
    return std::make_unique<LexicalSelectionStage>(flags.files.front());
}

} // namespace tervane::service::host
