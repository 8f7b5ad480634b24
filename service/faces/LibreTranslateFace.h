// LibreTranslate's HTTP API over the service's engines: POST /translate (a text or a list,
// text or HTML, source "auto" where the build detects languages, at most --char-limit
// characters), /languages with each language's targets, /detect, and what its clients read
// about a server (/spec, /frontend/settings, /suggest off); answered in LibreTranslate's JSON
// with its error texts, through the same translator (turns, engines) as the program's
// protocol.
#pragma once

#include "service/faces/Face.h"
#include "service/faces/LanguageDetector.h"
#include "service/http/HttpMessage.h"

#include <chrono>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

namespace tervane::service {

class LibreTranslateFace : public Face {
  public:
    // detector may be null: "auto" and /detect then answer that detection is disabled.
    LibreTranslateFace(Translator& translator, const FaceSettings& settings,
                       std::unique_ptr<LanguageDetector> detector);

    // logDetail gets what the log line says about the request ("libretranslate fr->es ...").
    HttpResponse Handle(const HttpRequest& request, std::string& logDetail) override;

  private:
    HttpResponse Translate(const nlohmann::json& arguments, std::string& logDetail);
    HttpResponse Languages();
    HttpResponse Detect(const nlohmann::json& arguments);
    // What LibreTranslate's web front end and Dialect read before they translate.
    HttpResponse FrontendSettings(const HttpRequest& request) const;

    Translator& translator_;
    FaceSettings settings_;
    std::unique_ptr<LanguageDetector> detector_;
};

// Its row of the face table: /detect, /spec, /frontend/settings, /suggest, /translate as
// LibreTranslate's clients post it, and /languages as they ask for it.
FaceDefinition LibreTranslateFaceDefinition();

} // namespace tervane::service
