#include "service/engines/RemoteTransport.h"

#include "net/WinHttpTransport_win.h"

#include <stdexcept>

namespace tervane::service {

// The program's own WinHTTP transport, its time-outs the request's time left. It speaks
// plain HTTP only (the form of address the program itself uses).
Result<RemoteReply> SendRemote(const RemoteUrl& url, const RemoteCall& call,
                               std::chrono::milliseconds timeout) {
    if (url.origin.rfind("http://", 0) != 0)
        return Error{502, "only http:// servers can be reached from Windows"};
    const int ms = static_cast<int>(timeout.count());
    ::HttpRequest request;
    request.method = call.method;
    request.url = url.origin + call.path;
    try {
        request.target = ParseHttpUrl(request.url);
        if (call.method == "POST")
            request.headers.emplace_back("Content-Type", call.contentType);
        request.body = call.body;
        WinHttpTransport transport(HttpTimeouts{ms, ms, ms, ms});
        const ::HttpResponse response = transport.Send(request);
        return RemoteReply{response.status, response.body};
    } catch (const std::runtime_error& error) {
        return Error{502, error.what()};
    }
}

} // namespace tervane::service
