#include "service/engines/RemoteHttp.h"

#include "service/engines/RemoteTransport.h"

namespace tervane::service {
namespace {

Result<RemoteReply> Call(const RemoteUrl& url, RemoteCall call, Clock::time_point deadline,
                         const std::string& label) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0)
        return Error{504, label + " was not asked: the time-out had passed"};
    call.path = url.prefix + call.path;
    Result<RemoteReply> reply = SendRemote(url, call, left);
    if (!reply.Ok()) {
        const bool late = Clock::now() >= deadline - std::chrono::milliseconds(5);
        return Error{late ? 504 : 502, late ? label + " did not answer in time"
                                            : label + " unreachable at " + url.origin + ": " +
                                                  reply.Failure().reason};
    }
    return reply;
}

} // namespace

Result<RemoteUrl> ParseRemoteUrl(const std::string& url) {
    for (const std::string scheme : {"http://", "https://"}) {
        if (url.rfind(scheme, 0) != 0)
            continue;
        const std::size_t slash = url.find('/', scheme.size());
        RemoteUrl parsed{url.substr(0, slash), slash == std::string::npos ? "" : url.substr(slash)};
        while (!parsed.prefix.empty() && parsed.prefix.back() == '/')
            parsed.prefix.pop_back();
        if (parsed.origin.size() == scheme.size())
            break;
        return parsed;
    }
    return Error{400, "not an http:// or https:// URL: " + url};
}

Result<RemoteReply> RemoteGet(const RemoteUrl& url, const std::string& path,
                              Clock::time_point deadline, const std::string& label) {
    return Call(url, RemoteCall{"GET", path, "", ""}, deadline, label);
}

Result<RemoteReply> RemotePost(const RemoteUrl& url, const std::string& path,
                               const std::string& body, const std::string& contentType,
                               Clock::time_point deadline, const std::string& label) {
    return Call(url, RemoteCall{"POST", path, body, contentType}, deadline, label);
}

} // namespace tervane::service
