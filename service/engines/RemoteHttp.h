// Calls to a remote engine's HTTP API, the whole exchange (connecting, sending, the whole
// answer) ended at the request's deadline and the answer's body bounded, failures turned
// into the statuses the program is told (502 unreachable, refused or too large, 504 too
// slow).
#pragma once

#include "service/engines/Engine.h"

#include <string>

namespace tervane::service {

struct RemoteUrl {
    std::string origin; // scheme://host:port
    // The origin as answers and the log show it: its user information (user:password@)
    // replaced by "***".
    std::string shown;
    std::string prefix; // path before the API's own paths, without trailing '/'
    // The largest answer body taken from the server (--max-remote-body): a server that
    // floods costs its request a 502, not the service its memory.
    std::size_t maxAnswer = 256 * 1024;
};

// Accepts http:// and https:// URLs and refuses anything else (400).
Result<RemoteUrl> ParseRemoteUrl(const std::string& url);

// What the remote server answered, whatever its status.
struct RemoteReply {
    int status = 0;
    std::string body;
};

// Headers a call adds; each is sent only when not empty.
struct RemoteHeaders {
    std::string authorization; // "Bearer KEY"
    std::string accept;
};

// A failure is the transport's: the server unreachable or its answer too large (502), or
// too slow (504).
Result<RemoteReply> RemoteGet(const RemoteUrl& url, const std::string& path,
                              Clock::time_point deadline, const std::string& label,
                              const RemoteHeaders& headers = {});
Result<RemoteReply> RemotePost(const RemoteUrl& url, const std::string& path,
                               const std::string& body, const std::string& contentType,
                               Clock::time_point deadline, const std::string& label,
                               const RemoteHeaders& headers = {});

} // namespace tervane::service
