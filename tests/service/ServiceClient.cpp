#include "ServiceClient.h"

#include "translate/ServiceProtocol.h"

#include <httplib.h>
#include <thread>

namespace tervane::testing {
namespace {

Reply ToReply(const httplib::Result& result) {
    Reply reply;
    if (!result)
        return reply;
    reply.status = result->status;
    reply.reason = result->reason;
    reply.body = result->body;
    reply.contentType = result->get_header_value("Content-Type");
    return reply;
}

httplib::Client Client(unsigned short port) {
    httplib::Client client("127.0.0.1", port);
    client.set_read_timeout(std::chrono::seconds(60));
    return client;
}

} // namespace

Reply PostForm(unsigned short port, const std::string& body, const std::string& contentType) {
    return ToReply(Client(port).Post(std::string(protocol::kTranslatePath), body, contentType));
}

Reply PostTranslate(unsigned short port, const std::string& text, const std::string& source,
                    const std::string& target) {
    return PostForm(port, protocol::BuildRequestBody(text, source, target));
}

Reply GetPath(unsigned short port, const std::string& path) {
    return ToReply(Client(port).Get(path));
}

bool WaitForOk(unsigned short port, const std::string& path, std::chrono::seconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        httplib::Client probe("127.0.0.1", port);
        probe.set_connection_timeout(std::chrono::seconds(1));
        if (auto result = probe.Get(path); result && result->status == 200)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return false;
}

} // namespace tervane::testing
