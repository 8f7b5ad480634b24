#include "service/engines/RemoteHttp.h"

#include "service/engines/RemoteTransport.h"

namespace tervane::service {
namespace {

Result<RemoteReply> Call(const RemoteUrl& url, RemoteCall call, Clock::time_point deadline,
                         const std::string& label) {
    if (Clock::now() >= deadline)
        return Error{504, label + " was not asked: the time-out had passed"};
    call.path = url.prefix + call.path;
    Result<RemoteReply> reply = SendRemote(url, call, deadline);
    if (reply.Ok())
        return reply;
    const Error& failure = reply.Failure();
    if (failure.status == kAnswerTooLarge) {
        return Error{502, label + " answered more than " + std::to_string(url.maxAnswer) +
                              " bytes (--max-remote-body)"};
    }
    if (failure.status == 504 || Clock::now() >= deadline - std::chrono::milliseconds(5))
        return Error{504, label + " did not answer in time"};
    return Error{502, label + " unreachable at " + url.origin + ": " + failure.reason};
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
                              Clock::time_point deadline, const std::string& label,
                              const RemoteHeaders& headers) {
    return Call(url, RemoteCall{"GET", path, "", "", headers}, deadline, label);
}

Result<RemoteReply> RemotePost(const RemoteUrl& url, const std::string& path,
                               const std::string& body, const std::string& contentType,
                               Clock::time_point deadline, const std::string& label,
                               const RemoteHeaders& headers) {
    return Call(url, RemoteCall{"POST", path, body, contentType, headers}, deadline, label);
}

} // namespace tervane::service
