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

Result<PairListing> EngineRow::Pairs() {
    PairListing all;
    for (const auto& engine : engines_) {
        Result<PairListing> listing = engine->Pairs();
        if (!listing.Ok())
            return listing.Failure();
        all.insert(all.end(), listing.Value().begin(), listing.Value().end());
    }
    return all;
}

} // namespace tervane::service
