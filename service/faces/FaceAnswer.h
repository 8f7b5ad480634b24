// Answers in JSON, shared by APy's and LibreTranslate's faces.
#pragma once

#include "service/http/HttpMessage.h"

#include <nlohmann/json.hpp>

namespace tervane::service {

// A JSON answer with the status's standard reason phrase (APy's and LibreTranslate's
// clients read the body, not the phrase).
HttpResponse JsonAnswer(int status, const nlohmann::json& value);

// A JSON refusal of an overloaded service: 503, with the connection closed and Retry-After
// as every busy answer of the service (BusyResponse).
HttpResponse BusyJsonAnswer(const std::string& reason, const nlohmann::json& value);

} // namespace tervane::service
