#include "service/engines/RemoteTransport.h"

#include <httplib.h>

namespace tervane::service {

Result<RemoteReply> SendRemote(const RemoteUrl& url, const RemoteCall& call,
                               std::chrono::milliseconds timeout) {
    httplib::Client client(url.origin);
    client.set_connection_timeout(timeout);
    client.set_read_timeout(timeout);
    client.set_write_timeout(timeout);
    client.set_follow_location(false);
    const httplib::Result result = call.method == "POST"
                                       ? client.Post(call.path, call.body, call.contentType)
                                       : client.Get(call.path);
    if (!result)
        return Error{502, httplib::to_string(result.error())};
    return RemoteReply{result->status, result->body};
}

} // namespace tervane::service
