// Every API the service speaks. Adding a face: its row (FaceDefinition) beside its handler,
// and one line in FaceTable.cpp.
#pragma once

#include "service/faces/Face.h"

#include <vector>

namespace tervane::service {

// The program's face is the last row: it claims every request, so that anything not
// recognisably another face's keeps the program's answers (and refusals) as it always had
// them (docs/service.md, "Three faces").
const std::vector<FaceDefinition>& FaceTable();

// The row of the face the request speaks to.
const FaceDefinition& ClaimingFace(const HttpRequest& request);

} // namespace tervane::service
