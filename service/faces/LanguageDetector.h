// Tells which language a text is in, for LibreTranslate's source "auto" and /detect.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tervane::service {

struct DetectedLanguage {
    std::string code;  // a code of the program's table
    double confidence; // 0 to 100, LibreTranslate's scale
};

class LanguageDetector {
  public:
    virtual ~LanguageDetector() = default;
    // The likeliest languages of the program's table first; empty when none is recognised.
    // html: the text's tags and references are no language's words.
    virtual std::vector<DetectedLanguage> Detect(std::string_view text,
                                                 bool html = false) const = 0;
};

// The build's detector; nullptr where the service is built without one (Windows).
std::unique_ptr<LanguageDetector> MakeLanguageDetector();

} // namespace tervane::service
