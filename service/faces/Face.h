// One API the service speaks (the program's own protocol, APy's, LibreTranslate's), and its
// row of the face table (FaceTable.h): which requests are its, how they are refused before
// it sees them, and its handler.
#pragma once

#include "service/engines/Translator.h"
#include "service/http/HttpMessage.h"

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

namespace tervane::service {

// What a face is told of the service's settings when it is made.
struct FaceSettings {
    std::chrono::milliseconds timeout{10000}; // a whole request, waiting included
    // --char-limit: the characters one LibreTranslate request may hold; 0 for no limit.
    std::size_t charLimit = 0;
    // Other machines need an API key (--allow-remote with --api-keys).
    bool keysRequired = false;
    std::string version; // the service's, as LibreTranslate's /spec names its own
};

class Face {
  public:
    virtual ~Face() = default;
    // logDetail gets what the log line says about the request ("apy fra|spa engine=...").
    virtual HttpResponse Handle(const HttpRequest& request, std::string& logDetail) = 0;
};

struct FaceDefinition {
    std::string name; // "apy"
    // Whether the request is in this face's API. The faces share paths, so each claims by
    // what its own clients send, and no two claim the same request.
    bool (*claims)(const HttpRequest& request);
    // A refusal made before any face sees the request (a shared service's 403 and 429), in
    // the shape this face's clients read.
    HttpResponse (*refusal)(const Error& error);
    std::unique_ptr<Face> (*make)(Translator& translator, const FaceSettings& settings);
};

} // namespace tervane::service
