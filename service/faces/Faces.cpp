#include "service/faces/Faces.h"

namespace tervane::service {

Faces::Faces(Translator& translator, const FaceSettings& settings) {
    for (const FaceDefinition& row : FaceTable())
        faces_.push_back(row.make(translator, settings));
}

HttpResponse Faces::Handle(const HttpRequest& request, std::string& logDetail) {
    const FaceDefinition& row = ClaimingFace(request);
    return faces_[static_cast<std::size_t>(&row - FaceTable().data())]->Handle(request, logDetail);
}

} // namespace tervane::service
