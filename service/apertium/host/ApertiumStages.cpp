// apertium's stages: the HMM tagger, pretransfer, and the three levels of structural
// transfer, with the command line read as their programs read it.
#include "service/apertium/host/LibraryStages.h"
#include "service/apertium/host/MemoryStream.h"

#include <apertium/file_morpho_stream.h>
#include <apertium/hmm.h>
#include <apertium/interchunk.h>
#include <apertium/postchunk.h>
#include <apertium/pretransfer.h>
#include <apertium/tagger_flags.h>
#include <apertium/tagger_word.h>
#include <apertium/transfer.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>

namespace tervane::service::host {
namespace {

class TaggerStage : public Stage {
  public:
    TaggerStage(const std::string& model, Apertium::TaggerFlags flags, bool mark) : tagger_(flags) {
        FILE* in = std::fopen(model.c_str(), "rb");
        if (in == nullptr)
            throw std::runtime_error("cannot open " + model);
        tagger_.deserialise(in);
        std::fclose(in);
        // The tagger's words keep these process-wide, as apertium-tagger sets them once.
        TaggerWord::setArrayTags(tagger_.getArrayTags());
        TaggerWord::generate_marks = mark;
        openClass_ = tagger_.get_tagger_data().getOpenClass();
    }

    std::string Run(const std::string& input) override {
        // A word whose ambiguity class the model lacks is given the most similar class, and
        // the library finds it by assigning through a reference to the model's open class:
        // from then on every unknown word of the process gets that narrower class ("A" read
        // as a verb in Occitan after "a^b$c"). The command meets it within one text at most;
        // every request starts with the model's own open class.
        tagger_.get_tagger_data().setOpenClass(openClass_);
        // The tagger reads a file by name. Its stream is made once and read again from the
        // start for each request: making it builds the model's tag patterns anew, which
        // took a quarter of a short request's time in the host.
        const std::string name = input_.Hold(input);
        if (!words_)
            words_ =
                std::make_unique<FileMorphoStream>(name.c_str(), false, &tagger_.get_tagger_data());
        else
            words_->rewind();
        return WriteInMemory([this](UFILE* out) { tagger_.tagger(*words_, out); });
    }

    std::string Kind() const override { return "library"; }

  private:
    HMM tagger_;
    std::set<TTag> openClass_;
    MemoryFile input_;
    std::unique_ptr<FileMorphoStream> words_; // over input_, read to its end each time
};

class PretransferStage : public Stage {
  public:
    PretransferStage(bool surfaceForms, bool compoundSeparator)
        : surfaceForms_(surfaceForms), compoundSeparator_(compoundSeparator) {}

    std::string Run(const std::string& input) override {
        return ProcessInMemory(input, [this](InputFile& in, UFILE* out) {
            processStream(in, out, false, surfaceForms_, compoundSeparator_);
        });
    }

    std::string Kind() const override { return "library"; }

  private:
    bool surfaceForms_;
    bool compoundSeparator_;
};

// The rules' variables (def-var) live on in the object from one input to the next, as for
// a whole file; the `apertium` command starts every text with their initial values, and so
// does every request here.
template <typename Rules> class FreshRules : public Rules {
  public:
    void KeepInitialVariables() { initial_ = this->variables; }
    void ResetVariables() { this->variables = initial_; }

  private:
    std::map<UString, UString> initial_;
};

// The transfer classes run a request as their programs' -z does (TransferBase's null flush:
// their temporary state cleared before it, pending blanks written at its end), so that a
// superblank at a request's end is not held back for the next one; the output is the
// part before the NUL that ends the request.
template <typename Apply> std::string RunNullFlushed(const std::string& input, Apply&& apply) {
    std::string output = ProcessInMemory(input + '\0', std::forward<Apply>(apply));
    output.resize(std::min(output.size(), output.find('\0')));
    return output;
}

class TransferStage : public Stage {
  public:
    explicit TransferStage(const CommandFlags& flags) {
        if (flags.Has('b')) {
            transfer_.setPreBilingual(true);
            transfer_.setUseBilingual(false);
        } else if (flags.Has('n')) {
            transfer_.setUseBilingual(false);
        }
        transfer_.setCaseSensitiveness(flags.Has('c'));
        transfer_.setNullFlush(true);
        transfer_.read(flags.files[0], flags.files[1],
                       flags.files.size() > 2 ? flags.files[2] : "");
    }

    std::string Run(const std::string& input) override {
        transfer_.ResetVariables();
        return RunNullFlushed(input,
                              [this](InputFile& in, UFILE* out) { transfer_.transfer(in, out); });
    }

    std::string Kind() const override { return "library"; }

  private:
    FreshRules<Transfer> transfer_;
};

// Interchunk and Postchunk: rules and their compiled form, one call over the stream.
template <typename Rules, void (Rules::*Apply)(InputFile&, UFILE*)>
class ChunkStage : public Stage {
  public:
    explicit ChunkStage(const CommandFlags& flags) {
        rules_.read(flags.files[0].c_str(), flags.files[1].c_str());
        rules_.setNullFlush(true);
        rules_.KeepInitialVariables();
    }

    std::string Run(const std::string& input) override {
        rules_.ResetVariables();
        return RunNullFlushed(input,
                              [this](InputFile& in, UFILE* out) { (rules_.*Apply)(in, out); });
    }

    std::string Kind() const override { return "library"; }

  private:
    FreshRules<Rules> rules_;
};

} // namespace

std::unique_ptr<Stage> MakeTaggerStage(const CommandFlags& flags) {
    // The HMM tagger (-g) with its output options; other algorithms stay apertium-tagger.
    if (!flags.Has('g') || !flags.OnlyFrom("gpfmz") || flags.files.size() != 1)
        return nullptr;
    Apertium::TaggerFlags options;
    options.setShowSuperficial(flags.Has('p'));
    options.setFirst(flags.Has('f'));
    options.setMark(flags.Has('m'));
    return std::make_unique<TaggerStage>(flags.files.front(), options, flags.Has('m'));
}

std::unique_ptr<Stage> MakeTransferStage(const CommandFlags& flags) {
    if (flags.program == "apertium-pretransfer") {
        if (!flags.OnlyFrom("nez") || !flags.files.empty())
            return nullptr;
        // -n ("no surface forms") is what makes pretransfer skip the surface form before "/".
        return std::make_unique<PretransferStage>(flags.Has('n'), flags.Has('e'));
    }
    if (flags.program == "apertium-transfer") {
        const std::size_t files = flags.Has('b') || flags.Has('n') ? 2 : 3;
        if (!flags.OnlyFrom("bncz") || flags.files.size() != files)
            return nullptr;
        return std::make_unique<TransferStage>(flags);
    }
    if (!flags.OnlyFrom("z") || flags.files.size() != 2)
        return nullptr;
    if (flags.program == "apertium-interchunk")
        return std::make_unique<ChunkStage<Interchunk, &Interchunk::interchunk>>(flags);
    if (flags.program == "apertium-postchunk")
        return std::make_unique<ChunkStage<Postchunk, &Postchunk::postchunk>>(flags);
    return nullptr;
}

} // namespace tervane::service::host
