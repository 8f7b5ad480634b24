// The OpenAPI (Swagger 2.0) document of the LibreTranslate face, as LibreTranslate's servers
// answer GET /spec: clients such as GNOME's Dialect read it to tell a LibreTranslate server
// by its info.title before they use one.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace tervane::service {

nlohmann::json LibreTranslateOpenApi(const std::string& version);

} // namespace tervane::service
