#include "service/faces/LibreTranslateOpenApi.h"

namespace tervane::service {
namespace {

using nlohmann::json;

json FormParameter(const char* name, const char* description, bool required) {
    return {{"in", "formData"},
            {"name", name},
            {"type", "string"},
            {"required", required},
            {"description", description}};
}

json ErrorAnswer(const char* description) {
    return {{"description", description}, {"schema", {{"$ref", "#/definitions/error-response"}}}};
}

// The refusals every request that translates may meet.
json Refusals(json answers) {
    answers["400"] = ErrorAnswer("Invalid request");
    answers["403"] = ErrorAnswer("Banned, or an API key is required and missing or not valid");
    answers["429"] = ErrorAnswer("Slow down");
    answers["500"] = ErrorAnswer("Translation error");
    return answers;
}

json Operation(const char* summary, const char* tag, json parameters, json answers) {
    return {{"summary", summary},
            {"tags", {tag}},
            {"consumes", {"application/json", "application/x-www-form-urlencoded"}},
            {"produces", {"application/json"}},
            {"parameters", std::move(parameters)},
            {"responses", std::move(answers)}};
}

json Schema(const char* ref) {
    return {{"$ref", std::string("#/definitions/") + ref}};
}

} // namespace

json LibreTranslateOpenApi(const std::string& version) {
    const json apiKey = FormParameter("api_key", "API key", false);
    json paths;
    paths["/translate"]["post"] = Operation(
        "Translate text from a language to another", "translate",
        {FormParameter("q", "Text to translate, or in JSON a list of texts", true),
         FormParameter("source", "Source language code, or auto", true),
         FormParameter("target", "Target language code", true),
         FormParameter("format", "Format of the text: text or html", false),
         FormParameter("alternatives", "Number of alternative translations", false), apiKey},
        Refusals({{"200", {{"description", "Translated text"}, {"schema", Schema("translate")}}}}));
    paths["/detect"]["post"] = Operation(
        "Detect the language of a single text", "translate",
        {FormParameter("q", "Text to detect", true), apiKey},
        Refusals({{"200", {{"description", "Detections"}, {"schema", Schema("detections")}}}}));
    paths["/languages"]["get"] = Operation(
        "Retrieve list of supported languages", "translate", json::array(),
        {{"200", {{"description", "List of languages"}, {"schema", Schema("languages")}}}});
    paths["/frontend/settings"]["get"] = Operation(
        "Retrieve frontend specific settings", "frontend", json::array(),
        {{"200", {{"description", "frontend settings"}, {"schema", Schema("frontend-settings")}}}});
    paths["/suggest"]["post"] =
        Operation("Submit a suggestion to improve a translation", "feedback",
                  {FormParameter("q", "Original text", true),
                   FormParameter("s", "Suggested translation", true),
                   FormParameter("source", "Language of original text", true),
                   FormParameter("target", "Language of suggested translation", true)},
                  {{"200", {{"description", "Success"}, {"schema", Schema("suggest-response")}}},
                   {"403", ErrorAnswer("Suggestions are disabled on this server")}});

    const json text = {{"type", "string"}};
    const json flag = {{"type", "boolean"}};
    const json language = {{"type", "object"}, {"properties", {{"code", text}, {"name", text}}}};
    json definitions;
    definitions["translate"] = {
        {"type", "object"},
        {"properties",
         {{"translatedText", {{"description", "Translated text, or a list for a list"}}},
          {"detectedLanguage",
           {{"type", "object"},
            {"properties", {{"confidence", {{"type", "number"}}}, {"language", text}}}}},
          {"alternatives", {{"type", "array"}, {"items", text}}}}}};
    definitions["detections"] = {
        {"type", "array"},
        {"items",
         {{"type", "object"},
          {"properties", {{"confidence", {{"type", "number"}}}, {"language", text}}}}}};
    definitions["languages"] = {
        {"type", "array"},
        {"items",
         {{"type", "object"},
          {"properties",
           {{"code", text}, {"name", text}, {"targets", {{"type", "array"}, {"items", text}}}}}}}};
    definitions["frontend-settings"] = {
        {"type", "object"},
        {"properties",
         {{"charLimit", {{"type", "integer"}}},
          {"frontendTimeout", {{"type", "integer"}}},
          {"apiKeys", flag},
          {"keyRequired", flag},
          {"suggestions", flag},
          {"filesTranslation", flag},
          {"supportedFilesFormat", {{"type", "array"}, {"items", text}}},
          {"language",
           {{"type", "object"}, {"properties", {{"source", language}, {"target", language}}}}}}}};
    definitions["suggest-response"] = {{"type", "object"}, {"properties", {{"success", flag}}}};
    definitions["error-response"] = {{"type", "object"}, {"properties", {{"error", text}}}};

    return {{"swagger", "2.0"},
            {"info",
             {{"title", "LibreTranslate"},
              {"version", version},
              {"description", "LibreTranslate's API, answered by tervane-service over its "
                              "offline Apertium engine (or the engines it is given)"}}},
            {"paths", std::move(paths)},
            {"definitions", std::move(definitions)}};
}

} // namespace tervane::service
