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
    PairListing all;
    for (const auto& engine : engines_) {
        std::optional<Result<PairListing>> listing = engine->LastPairs();
        if (!listing)
            return Error{503, "the " + engine->Name() + " engine's pairs are being fetched"};
        if (!listing->Ok())
            return listing->Failure();
        all.insert(all.end(), listing->Value().begin(), listing->Value().end());
    }
    return all;
}

} // namespace tervane::service
