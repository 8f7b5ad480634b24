#include "service/engines/PairCheck.h"

#include "service/apertium/ProcessGroups.h"

#include <map>

namespace tervane::service {

std::string CheckSentence(const std::string& apertiumLanguage) {
    // Ordinary sentences, among them ones that Debian 12's apertium-tagger crashes on for the
    // Russian and Ukrainian pairs; a crash on any of them is found all the same.
    static const std::map<std::string, std::string> sentences = {
        {"rus", "Кошка чёрная, а дом большой."},
        {"ukr", "Я тебе кохаю."},
        {"bel", "Кот чорны, а дом вялікі."},
        {"fra", "Le chat est noir et la maison est grande."},
        {"fr", "Le chat est noir et la maison est grande."},
        {"spa", "El gato es negro y la casa es grande."},
        {"es", "El gato es negro y la casa es grande."},
        {"cat", "El gat és negre i la casa és gran."},
        {"por", "O gato é preto e a casa é grande."},
        {"pt", "O gato é preto e a casa é grande."},
        {"ita", "Il gatto è nero e la casa è grande."},
        {"eng", "The cat is black and the house is big."},
        {"en", "The cat is black and the house is big."}};
    const std::string base = apertiumLanguage.substr(0, apertiumLanguage.find('_'));
    const auto found = sentences.find(base);
    return found != sentences.end() ? found->second : "The cat is black, 12 houses are big.";
}

namespace {

std::string ModeFileOf(const PairCheck::Pair& pair) {
    return pair.files.empty() ? pair.mode : pair.files.front().string();
}

} // namespace

PairCheck::PairCheck(std::vector<Pair> pairs, Log log, std::filesystem::path record)
    : log_(std::move(log)), record_(std::move(record)) {
    std::size_t known = 0;
    std::size_t broken = 0;
    for (Pair& pair : pairs) {
        State state{std::move(pair), "", State::Known::Unchecked};
        state.identity = IdentityOfFiles(state.pair.files);
        if (const auto works = record_.Known(ModeFileOf(state.pair), state.identity)) {
            state.known = *works ? State::Known::Works : State::Known::Broken;
            ++known;
            broken += *works ? 0 : 1;
            if (!*works && log_)
                log_("apertium pair " + state.pair.mode +
                     " left out: it failed on its check sentence (as found by an earlier check "
                     "of the same files)");
        }
        std::string mode = state.pair.mode;
        states_.emplace(std::move(mode), std::move(state));
    }
    if (log_)
        log_("apertium pair checks: " + std::to_string(known) + " known from before (" +
             std::to_string(broken) + " left out), " + std::to_string(states_.size() - known) +
             " to check at first use");
}

bool PairCheck::Broken(const std::string& mode) const {
    std::lock_guard lock(mutex_);
    const auto found = states_.find(mode);
    return found != states_.end() && found->second.known == State::Known::Broken;
}

bool PairCheck::Unchecked(const std::string& mode) const {
    std::lock_guard lock(mutex_);
    const auto found = states_.find(mode);
    return found != states_.end() && found->second.known == State::Known::Unchecked;
}

std::string PairCheck::SentenceFor(const std::string& mode) const {
    std::lock_guard lock(mutex_);
    const auto found = states_.find(mode);
    return CheckSentence(found != states_.end() ? found->second.pair.source : "");
}

bool PairCheck::Settle(const std::string& mode, const Result<std::string>& answer) {
    // Only what the pair's files decide is kept: a check that ran out of time is tried again
    // at the next use, and one ended as the service stops says nothing about the pair.
    if (!answer.Ok() && (answer.Failure().status == 504 || EndingAllGroups()))
        return false;
    std::string modeFile;
    std::string identity;
    {
        std::lock_guard lock(mutex_);
        const auto found = states_.find(mode);
        if (found == states_.end() || found->second.known != State::Known::Unchecked)
            return found != states_.end() && found->second.known == State::Known::Broken;
        found->second.known = answer.Ok() ? State::Known::Works : State::Known::Broken;
        modeFile = ModeFileOf(found->second.pair);
        identity = found->second.identity;
    }
    record_.Keep(modeFile, identity, answer.Ok());
    if (!answer.Ok() && log_)
        log_("apertium pair " + mode + " left out: it failed on its check sentence (" +
             answer.Failure().reason + ")");
    return !answer.Ok();
}

} // namespace tervane::service
