// Builds without a detector (Windows: Debian has no libcld2 for mingw): LibreTranslate's
// source "auto" and /detect then answer that detection is not available.
#include "service/faces/LanguageDetector.h"

namespace tervane::service {

std::unique_ptr<LanguageDetector> MakeLanguageDetector() {
    return nullptr;
}

} // namespace tervane::service
