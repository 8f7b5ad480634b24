// lt-proc's stages (analysis, decomposition, bilingual lookup, generation and its variants,
// post-generation, inter-generation, transliteration) on lttoolbox's FSTProcessor, with
// the command line read as lt-proc reads it.
#include "service/apertium/host/LibraryStages.h"
#include "service/apertium/host/MemoryStream.h"

#include <lttoolbox/fst_processor.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace tervane::service::host {
namespace {

class LtProcStage : public Stage {
  public:
    LtProcStage(const std::string& transducer, char mode, GenerationMode generation)
        : mode_(mode), generation_(generation) {
        FILE* in = std::fopen(transducer.c_str(), "rb");
        if (in == nullptr)
            throw std::runtime_error("cannot open " + transducer);
        processor_.load(in);
        std::fclose(in);
    }

    FSTProcessor& Processor() { return processor_; }

    void Init() {
        switch (mode_) {
        case 'g':
            processor_.initGeneration();
            break;
        case 'p':
        case 'x':
        case 't':
            processor_.initPostgeneration();
            break;
        case 'b':
            processor_.initBiltrans();
            break;
        case 'e':
            processor_.initDecomposition();
            break;
        default:
            processor_.initAnalysis();
            break;
        }
        if (!processor_.valid())
            throw std::runtime_error("the transducer is not valid for this stage");
    }

    std::string Run(const std::string& input) override {
        return ProcessInMemory(input, [this](InputFile& in, UFILE* out) {
            switch (mode_) {
            case 'g':
                processor_.generation(in, out, generation_);
                break;
            case 'p':
                processor_.postgeneration(in, out);
                break;
            case 'x':
                processor_.intergeneration(in, out);
                break;
            case 't':
                processor_.transliteration(in, out);
                break;
            case 'b':
                processor_.bilingual(in, out, generation_);
                break;
            default: // analysis and decomposition
                processor_.analysis(in, out);
                break;
            }
        });
    }

    std::string Kind() const override { return "library"; }

  private:
    FSTProcessor processor_;
    char mode_;
    GenerationMode generation_;
};

} // namespace

std::unique_ptr<Stage> MakeLtProcStage(const CommandFlags& flags) {
    // Only what lt-proc does the same way in the library; anything else stays lt-proc.
    if (!flags.OnlyFrom("abcdeglmnptwxzCIN") || flags.files.size() != 1)
        return nullptr;
    char mode = 0;
    const auto choose = [&mode](char wanted) {
        if (mode != 0 && mode != wanted)
            return false;
        mode = wanted;
        return true;
    };
    for (const char flag : std::string_view("abepxt")) {
        if (flags.Has(flag) && !choose(flag))
            return nullptr;
    }
    GenerationMode generation = gm_unknown;
    int generationFlags = 0;
    for (const auto& [flag, mark] :
         {std::pair{'d', gm_all}, std::pair{'l', gm_tagged}, std::pair{'m', gm_tagged_nm},
          std::pair{'n', gm_clean}, std::pair{'C', gm_carefulcase}, std::pair{'g', gm_unknown}}) {
        if (flags.Has(flag)) {
            generation = mark;
            ++generationFlags;
        }
    }
    if (generationFlags > 1)
        return nullptr;
    if (generationFlags == 1) {
        if (mode == 0)
            mode = 'g';
        else if (mode != 'b' || flags.Has('g'))
            return nullptr;
    }
    auto stage =
        std::make_unique<LtProcStage>(flags.files.front(), mode == 0 ? 'a' : mode, generation);
    FSTProcessor& processor = stage->Processor();
    processor.setCaseSensitiveMode(flags.Has('c'));
    processor.setDictionaryCaseMode(flags.Has('w'));
    processor.setUseDefaultIgnoredChars(!flags.Has('I'));
    if (flags.Has('N')) {
        const int most = std::atoi(flags.set.at('N').c_str());
        if (most < 1)
            return nullptr;
        processor.setMaxAnalysesValue(most);
    }
    stage->Init();
    return stage;
}

} // namespace tervane::service::host
