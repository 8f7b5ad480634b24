#include "service/engines/EngineRow.h"

namespace tervane::service {

std::string EngineRow::Name() const {
    std::string name;
    for (const auto& engine : engines_) {
        if (!name.empty())
            name += ',';
        name += engine->Name();
    }
    return name;
}

Result<PairListing> EngineRow::LastPairs() {
    // Every engine is asked, so that each one's refresh starts, before any answer is given.
    std::vector<std::optional<Result<PairListing>>> known;
    for (const auto& engine : engines_)
        known.push_back(engine->LastPairs());
    PairListing all;
    for (std::size_t i = 0; i < engines_.size(); ++i) {
        if (!known[i])
            return Error{503, "the " + engines_[i]->Name() + " engine's pairs are being fetched"};
        if (!known[i]->Ok())
            return known[i]->Failure();
        all.insert(all.end(), known[i]->Value().begin(), known[i]->Value().end());
    }
    return all;
}

} // namespace tervane::service
