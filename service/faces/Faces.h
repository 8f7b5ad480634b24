// APy's and LibreTranslate's APIs beside the program's protocol, on the same service.
#pragma once

#include "service/faces/ApyFace.h"
#include "service/faces/LibreTranslateFace.h"

#include <optional>

namespace tervane::service {

class Faces {
  public:
    Faces(Translator& translator, std::chrono::milliseconds timeout);

    // The answer of the face the request speaks to; nullopt for the program's protocol,
    // which the caller answers as it always has.
    std::optional<HttpResponse> Handle(const HttpRequest& request, std::string& logDetail);

  private:
    ApyFace apy_;
    LibreTranslateFace libreTranslate_;
};

} // namespace tervane::service
