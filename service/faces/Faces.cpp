#include "service/faces/Faces.h"

#include "service/faces/FaceChooser.h"

namespace tervane::service {

Faces::Faces(Translator& translator, std::chrono::milliseconds timeout)
    : apy_(translator, timeout), libreTranslate_(translator, timeout, MakeLanguageDetector()) {}

std::optional<HttpResponse> Faces::Handle(const HttpRequest& request, std::string& logDetail) {
    switch (ChooseFace(request)) {
    case Face::Apy:
        return apy_.Handle(request, logDetail);
    case Face::LibreTranslate:
        return libreTranslate_.Handle(request, logDetail);
    case Face::Program:
        break;
    }
    return std::nullopt;
}

} // namespace tervane::service
