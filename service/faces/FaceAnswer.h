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

// A refusal made before the face sees the request (FaceDefinition::refusal): the error's
// status and reason phrase, with body as the face's clients read a refusal.
HttpResponse JsonRefusal(const Error& error, const nlohmann::json& body);

} // namespace tervane::service
