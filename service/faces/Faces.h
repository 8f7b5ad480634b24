// The service's faces, one handler for each row of the face table, on the same translator.
#pragma once

#include "service/faces/FaceTable.h"

#include <memory>
#include <vector>

namespace tervane::service {

class Faces {
  public:
    Faces(Translator& translator, const FaceSettings& settings);

    // The answer of the face the request speaks to.
    HttpResponse Handle(const HttpRequest& request, std::string& logDetail);

  private:
    std::vector<std::unique_ptr<Face>> faces_; // in the table's order
};

} // namespace tervane::service
