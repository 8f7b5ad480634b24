// LibreTranslate's HTTP API over the service's engines: POST /translate (a text or a list,
// text or HTML, source "auto" where the build detects languages), /languages with each
// language's targets, and /detect; answered in LibreTranslate's JSON, through the same
// translator (turns, engines) as the program's protocol.
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
    LibreTranslateFace(Translator& translator, std::chrono::milliseconds timeout,
                       std::unique_ptr<LanguageDetector> detector);

    // logDetail gets what the log line says about the request ("libretranslate fr->es ...").
    HttpResponse Handle(const HttpRequest& request, std::string& logDetail) override;

  private:
    HttpResponse Translate(const nlohmann::json& arguments, std::string& logDetail);
    HttpResponse Languages();
    HttpResponse Detect(const nlohmann::json& arguments);

    Translator& translator_;
    std::chrono::milliseconds timeout_;
    std::unique_ptr<LanguageDetector> detector_;
};

// Its row of the face table: /detect, /translate as LibreTranslate's clients post it, and
// /languages as they ask for it.
FaceDefinition LibreTranslateFaceDefinition();

} // namespace tervane::service
