// Apertium APy's HTTP API over the service's engines: /translate with a langpair,
// /translateChain, /listPairs, /perWord, /listLanguageNames and /identifyLang, answered in APy's
// JSON with APy's statuses, through the same translator (turns, engines) as the program's protocol.
#pragma once

#include "service/faces/Face.h"
#include "service/faces/FaceArguments.h"
#include "service/faces/LanguageDetector.h"
#include "service/http/HttpMessage.h"

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tervane::service {

class ApyFace : public Face {
  public:
    // detector may be null: /identifyLang then identifies nothing, as APy without CLD2.
    ApyFace(Translator& translator, std::chrono::milliseconds timeout,
            std::unique_ptr<LanguageDetector> detector);

    // logDetail gets what the log line says about the request ("apy fra|spa engine=...").
    HttpResponse Handle(const HttpRequest& request, std::string& logDetail) override;

  private:
    // Every pair the engines offer in one step, in APy's codes, with the engine that offers
    // it (the first engine in the row wins a pair offered twice), in the engines' order.
    struct DirectPairs {
        std::vector<std::pair<std::string, std::string>> order;
        std::map<std::pair<std::string, std::string>, PlannedRoute> routes;
    };
    DirectPairs ListDirectPairs(Clock::time_point deadline);

    HttpResponse Translate(const Arguments& arguments, std::string& logDetail);
    HttpResponse TranslateChain(const Arguments& arguments, std::string& logDetail);
    HttpResponse ListPairs(const Arguments& arguments);
    // Each word's analyses and dictionary entries (ApyPerWord.cpp).
    HttpResponse PerWord(const Arguments& arguments, std::string& logDetail);
    // Languages' names, and the languages a text may be in (ApyLanguages.cpp).
    HttpResponse ListLanguageNames(const Arguments& arguments);
    HttpResponse IdentifyLang(const Arguments& arguments);
    // The chain's translation, one engine's run at a time.
    Translation RunChain(const std::vector<PlannedRoute>& steps, const std::string& text, bool html,
                         Clock::time_point deadline);

    Translator& translator_;
    std::chrono::milliseconds timeout_;
    std::unique_ptr<LanguageDetector> detector_;
};

// APy's error answer: the status, its standard phrase and what went wrong.
HttpResponse ApyError(int status, const std::string& explanation);

// An engine's failure as APy reports one; a refusal for want of a turn stays the service's
// busy answer (counted, connection closed).
HttpResponse TranslationFailure(const Translation& translation);

// Its row of the face table: APy's paths, and /translate as APy's clients ask for it.
FaceDefinition ApyFaceDefinition();

} // namespace tervane::service
