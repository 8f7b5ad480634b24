#include "service/engines/PairCheck.h"

#include "service/apertium/ProcessGroups.h"

#include <map>
#include <sys/resource.h>
#include <unistd.h>

namespace tervane::service {
namespace {

constexpr int kCheckNiceness = 10;

} // namespace

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

PairCheck::PairCheck(std::vector<Pair> pairs, Run run, Log log, std::filesystem::path record)
    : pairs_(std::move(pairs)), run_(std::move(run)), log_(std::move(log)),
      record_(std::move(record)) {
    thread_ = std::thread([this] { CheckAll(); });
}

PairCheck::~PairCheck() {
    stopping_ = true;
    thread_.join();
}

bool PairCheck::Broken(const std::string& mode) const {
    std::lock_guard lock(mutex_);
    return broken_.count(mode) != 0;
}

PairCheck::Outcome PairCheck::CheckOne(const Pair& pair) {
    {
        std::lock_guard lock(mutex_);
        if (known_.count(pair.mode) != 0)
            return Outcome::Known;
    }
    const std::string modeFile = pair.files.empty() ? pair.mode : pair.files.front().string();
    const std::string identity = IdentityOfFiles(pair.files);
    std::optional<bool> works = record_.Known(modeFile, identity);
    const bool known = works.has_value();
    std::string failure;
    if (!known) {
        const Result<std::string> answer = run_(pair.mode, CheckSentence(pair.source));
        if ((stopping_ || EndingAllGroups()) && !answer.Ok())
            return Outcome::Stopped; // ended under the check, not broken
        works = answer.Ok();
        if (!answer.Ok())
            failure = answer.Failure().reason;
        // Only what the pair's files decide is kept: a check that ran out of time on a busy
        // machine is tried again at the next start.
        if (answer.Ok() || answer.Failure().status != 504)
            record_.Keep(modeFile, identity, *works);
    }
    {
        std::lock_guard lock(mutex_);
        known_.insert(pair.mode);
        if (!*works)
            broken_.insert(pair.mode);
    }
    if (!*works && log_) {
        log_("apertium pair " + pair.mode + " left out: it failed on its check sentence (" +
             (known ? "as found by an earlier check of the same files" : failure) + ")");
    }
    return known ? Outcome::Known : Outcome::Checked;
}

void PairCheck::CheckAll() {
    // The check's hosts inherit this thread's niceness: while it runs, the pairs that
    // requests start and use come first.
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), kCheckNiceness);
    std::size_t checked = 0;
    for (const Pair& pair : pairs_) {
        if (stopping_)
            return;
        const Outcome outcome = CheckOne(pair);
        if (outcome == Outcome::Stopped)
            return;
        checked += outcome == Outcome::Checked ? 1 : 0;
    }
    std::size_t left = 0;
    {
        std::lock_guard lock(mutex_);
        left = broken_.size();
    }
    if (log_)
        log_("apertium pairs checked: " + std::to_string(checked) + ", " + std::to_string(left) +
             " left out" +
             (checked < pairs_.size()
                  ? " (" + std::to_string(pairs_.size() - checked) + " known from before)"
                  : ""));
}

} // namespace tervane::service
