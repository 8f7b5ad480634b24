// One HTTP exchange with a remote engine's server: cpp-httplib on Linux
// (RemoteTransport_posix.cpp), WinHTTP through net/ on Windows (RemoteTransport_win.cpp).
#pragma once

#include "service/engines/RemoteHttp.h"

#include <chrono>
#include <string>

namespace tervane::service {

struct RemoteCall {
    std::string method; // "GET" or "POST"
    std::string path;   // the URL's prefix included
    std::string body;
    std::string contentType; // of a POST
};

// The answer, of any status; redirects are not followed. When none came within timeout,
// the failure's reason says why in the transport's words (its status is not used).
Result<RemoteReply> SendRemote(const RemoteUrl& url, const RemoteCall& call,
                               std::chrono::milliseconds timeout);

} // namespace tervane::service
