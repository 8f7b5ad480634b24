#include "service/faces/FaceAnswer.h"

namespace tervane::service {

HttpResponse JsonAnswer(int status, const nlohmann::json& value) {
    HttpResponse response;
    response.status = status;
    response.contentType = "application/json; charset=UTF-8";
    // As APy writes it: "</" escaped, so that the answer can sit inside a script element.
    std::string body = value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    for (std::size_t at = body.find("</"); at != std::string::npos; at = body.find("</", at + 3))
        body.replace(at, 2, "<\\/");
    response.body = std::move(body);
    return response;
}

HttpResponse BusyJsonAnswer(const std::string& reason, const nlohmann::json& value) {
    HttpResponse response = BusyResponse(reason);
    const HttpResponse json = JsonAnswer(503, value);
    response.contentType = json.contentType;
    response.body = json.body;
    return response;
}

HttpResponse JsonRefusal(const Error& error, const nlohmann::json& body) {
    HttpResponse response = ErrorResponse(error);
    response.contentType = "application/json";
    response.body = body.dump() + "\n";
    return response;
}

} // namespace tervane::service
