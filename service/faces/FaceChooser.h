// Which API a request speaks: the program's own protocol, APy's or LibreTranslate's. All
// three share /translate (and the program and LibreTranslate share /languages), so the
// choice follows what each one's clients send (docs/service.md, "Three faces").
#pragma once

#include "service/http/HttpMessage.h"

namespace tervane::service {

enum class Face { Program, Apy, LibreTranslate };

// Anything not recognisably APy's or LibreTranslate's is the program's, which keeps its
// own answers (and refusals) for everything it has always been sent.
Face ChooseFace(const HttpRequest& request);

} // namespace tervane::service
