// The program's own protocol: POST /translate with its form, answered with the quoted
// translation (protocol/ServiceProtocol.h); POST /words, the same with a one-word text's
// dictionary entries (protocol/WordsAnswer.h); GET /health and GET /languages in JSON; and every
// request no other face claims, refused in the program's words.
#pragma once

#include "service/faces/Face.h"

namespace tervane::service {

class ProgramFace : public Face {
  public:
    ProgramFace(Translator& translator, std::chrono::milliseconds timeout);

    // logDetail gets what the log line says about the request ("fr->es engine=... route=...").
    HttpResponse Handle(const HttpRequest& request, std::string& logDetail) override;

  private:
    // POST /translate; withEntries: POST /words, the translation with the dictionary's
    // entries (protocol/WordsAnswer.h).
    HttpResponse Translate(const HttpRequest& request, std::string& logDetail, bool withEntries);
    HttpResponse Health(const HttpRequest& request);
    HttpResponse Languages();

    Translator& translator_;
    std::chrono::milliseconds timeout_;
};

// Its row of the face table: it claims every request, so it is the last row.
FaceDefinition ProgramFaceDefinition();

} // namespace tervane::service
