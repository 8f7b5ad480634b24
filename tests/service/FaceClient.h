// Requests to the service's APy and LibreTranslate faces as those APIs' clients send them,
// with the JSON answer read.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

namespace tervane::testing {

struct JsonReply {
    int status = 0; // 0: no answer
    std::string contentType;
    std::string body;
    nlohmann::json json; // discarded when the body is not JSON
};

using Headers = std::vector<std::pair<std::string, std::string>>;

JsonReply GetJson(unsigned short port, const std::string& pathAndQuery,
                  const Headers& headers = {});
JsonReply PostJson(unsigned short port, const std::string& path, const nlohmann::json& body);
JsonReply PostFormJson(unsigned short port, const std::string& path, const std::string& form);

// A query or form value percent-encoded as a browser would.
std::string UrlEncode(const std::string& text);

} // namespace tervane::testing
