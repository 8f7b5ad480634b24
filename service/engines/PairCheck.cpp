#include "service/engines/PairCheck.h"

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

PairCheck::PairCheck(std::vector<Pair> pairs, Run run, Log log)
    : run_(std::move(run)), log_(std::move(log)) {
    thread_ =
        std::thread([this, pairs = std::move(pairs)]() mutable { CheckAll(std::move(pairs)); });
}

PairCheck::~PairCheck() {
    stopping_ = true;
    thread_.join();
}

bool PairCheck::Broken(const std::string& mode) const {
    std::lock_guard lock(mutex_);
    return broken_.count(mode) != 0;
}

void PairCheck::CheckAll(std::vector<Pair> pairs) {
    std::size_t left = 0;
    for (const Pair& pair : pairs) {
        if (stopping_)
            return;
        const Result<std::string> answer = run_(pair.mode, CheckSentence(pair.source));
        if (answer.Ok())
            continue;
        if (stopping_)
            return;
        {
            std::lock_guard lock(mutex_);
            broken_.insert(pair.mode);
        }
        ++left;
        if (log_)
            log_("apertium pair " + pair.mode + " left out: it failed on its check sentence (" +
                 answer.Failure().reason + ")");
    }
    if (log_)
        log_("apertium pairs checked: " + std::to_string(pairs.size()) + ", " +
             std::to_string(left) + " left out");
}

} // namespace tervane::service
