#include "service/faces/FaceTable.h"

#include "service/faces/ApyFace.h"
#include "service/faces/LibreTranslateFace.h"
#include "service/faces/ProgramFace.h"

namespace tervane::service {

const std::vector<FaceDefinition>& FaceTable() {
    static const std::vector<FaceDefinition> table = {
        ApyFaceDefinition(),
        LibreTranslateFaceDefinition(),
        // Last: it claims every request.
        ProgramFaceDefinition(),
    };
    return table;
}

const FaceDefinition& ClaimingFace(const HttpRequest& request) {
    for (const FaceDefinition& row : FaceTable()) {
        if (row.claims(request))
            return row;
    }
    return FaceTable().back();
}

} // namespace tervane::service
