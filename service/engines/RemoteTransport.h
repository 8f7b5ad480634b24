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
    RemoteHeaders headers;
};

// The failure of an answer whose body grew beyond url.maxAnswer.
inline constexpr int kAnswerTooLarge = 413;

// The answer, of any status; redirects are not followed. Nothing of the exchange outlasts
// the deadline: a server that hangs, or trickles its answer, fails with 504; one whose
// answer grows beyond url.maxAnswer with kAnswerTooLarge (the rest is not read); any other
// failure with 502, its reason in the transport's words.
Result<RemoteReply> SendRemote(const RemoteUrl& url, const RemoteCall& call,
                               std::chrono::steady_clock::time_point deadline);

} // namespace tervane::service
