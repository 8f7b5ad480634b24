#include "FaceClient.h"

#include <cstdio>
#include <httplib.h>

namespace tervane::testing {
namespace {

JsonReply ToJsonReply(const httplib::Result& result) {
    JsonReply reply;
    if (!result)
        return reply;
    reply.status = result->status;
    reply.contentType = result->get_header_value("Content-Type");
    reply.body = result->body;
    reply.json = nlohmann::json::parse(result->body, nullptr, false);
    return reply;
}

httplib::Client Client(unsigned short port) {
    httplib::Client client("127.0.0.1", port);
    client.set_read_timeout(std::chrono::seconds(60));
    return client;
}

} // namespace

JsonReply GetJson(unsigned short port, const std::string& pathAndQuery, const Headers& headers) {
    httplib::Headers sent;
    for (const auto& [name, value] : headers)
        sent.emplace(name, value);
    return ToJsonReply(Client(port).Get(pathAndQuery, sent));
}

JsonReply PostJson(unsigned short port, const std::string& path, const nlohmann::json& body) {
    return ToJsonReply(Client(port).Post(path, body.dump(), "application/json"));
}

JsonReply PostFormJson(unsigned short port, const std::string& path, const std::string& form) {
    return ToJsonReply(Client(port).Post(path, form, "application/x-www-form-urlencoded"));
}

std::string UrlEncode(const std::string& text) {
    std::string encoded;
    for (unsigned char c : text) {
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
            encoded += static_cast<char>(c);
        } else {
            char escape[4];
            std::snprintf(escape, sizeof escape, "%%%02X", c);
            encoded += escape;
        }
    }
    return encoded;
}

} // namespace tervane::testing
