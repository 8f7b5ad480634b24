// APy's answers about languages rather than pairs: /listLanguageNames and /identifyLang.
#include "service/faces/ApyCodes.h"
#include "service/faces/ApyFace.h"
#include "service/faces/ApyLanguageNames.h"
#include "service/faces/FaceAnswer.h"
#include "service/faces/FaceTranslation.h"

#include <algorithm>

namespace tervane::service {
namespace {

using nlohmann::json;

// The APy code of a language of the program's table, as APy names CLD2's answers: ISO 639-3
// ("iw" is Hebrew's "heb", both Chineses "zho").
std::string ApyCodeOfTableLanguage(const std::string& tableCode) {
    if (tableCode == "iw")
        return ApyAlpha3("he");
    if (tableCode == "zh-tw")
        return ApyAlpha3("zh");
    return ApyAlpha3(tableCode);
}

} // namespace

// Names in English whatever the locale asked (the service holds no others); each language
// asked is keyed as it was asked, as APy keys it, and one it does not know is left out.
HttpResponse ApyFace::ListLanguageNames(const Arguments& arguments) {
    json names = json::object();
    const auto asked = LastArgument(arguments, "languages");
    if (!asked) {
        for (const auto& [code, name] : ApyLanguageNames())
            names[std::string(code)] = name;
        return JsonAnswer(200, names);
    }
    std::size_t start = 0;
    while (start <= asked->size()) {
        const std::size_t end = std::min(asked->find(' ', start), asked->size());
        const std::string code = asked->substr(start, end - start);
        if (const auto name = ApyLanguageName(code))
            names[code] = *name;
        start = end + 1;
    }
    return JsonAnswer(200, names);
}

// Each likely language with its confidence, 0 to 100. A build without a detector answers as
// APy without one: nothing identified.
HttpResponse ApyFace::IdentifyLang(const Arguments& arguments) {
    const auto text = LastArgument(arguments, "q");
    if (!text)
        return ApyError(400, "Missing argument q");
    if (text->empty())
        return ApyError(400, "Missing q argument");
    if (const auto fault = TextFault(*text))
        return ApyError(400, *fault);
    json found = json::object();
    if (detector_) {
        for (const DetectedLanguage& language : detector_->Detect(*text)) {
            const std::string code = ApyCodeOfTableLanguage(language.code);
            if (!found.contains(code))
                found[code] = language.confidence;
        }
    }
    return JsonAnswer(200, found);
}

} // namespace tervane::service
