#include "service/engines/RemoteHttp.h"

#include "net/HttpTransport.h"
#include "service/core/LogText.h"

namespace tervane::service {
namespace {

// The request's deadline is what ends an exchange; these bound a step only where the
// deadline is further away. Connections to a remote engine are kept and reused, which
// saves a connection and, for https://, a TLS handshake per request.
constexpr HttpTimeouts kRemoteTimeouts{30000, 30000, 30000, 60000};

// One transport for every remote engine (net/: cpp-httplib on Linux, WinHTTP on Windows):
// its kept connections are shared by all requests. No proxy: the engines are servers the
// operator named.
HttpTransport& Transport() {
    static const std::unique_ptr<HttpTransport> transport = MakeHttpTransport(kRemoteTimeouts);
    return *transport;
}

Result<RemoteReply> Call(const RemoteUrl& url, HttpRequest request, Clock::time_point deadline,
                         const std::string& label) {
    if (Clock::now() >= deadline)
        return Error{504, label + " was not asked: the time-out had passed"};
    request.url = url.origin + url.prefix + request.url;
    request.deadline = deadline;
    request.maxBodyBytes = url.maxAnswer;
    try {
        request.target = ParseHttpUrl(request.url);
        HttpResponse response = Transport().Send(request);
        return RemoteReply{response.status, std::move(response.body)};
    } catch (const HttpTooLargeError&) {
        return Error{502, label + " answered more than " + std::to_string(url.maxAnswer) +
                              " bytes (--max-remote-body)"};
    } catch (const HttpTimeoutError&) {
        return Error{504, label + " did not answer in time"};
    } catch (const std::runtime_error& failure) {
        if (Clock::now() >= deadline - std::chrono::milliseconds(5))
            return Error{504, label + " did not answer in time"};
        return Error{502, label + " unreachable at " + url.shown + ": " +
                              RedactUrlUserInfo(failure.what())};
    }
}

HttpRequest Request(std::string method, const std::string& path, const RemoteHeaders& headers) {
    HttpRequest request;
    request.method = std::move(method);
    request.url = path;
    if (!headers.authorization.empty())
        request.headers.emplace_back("Authorization", headers.authorization);
    if (!headers.accept.empty())
        request.headers.emplace_back("Accept", headers.accept);
    return request;
}

} // namespace

Result<RemoteUrl> ParseRemoteUrl(const std::string& url) {
    for (const std::string scheme : {"http://", "https://"}) {
        if (url.rfind(scheme, 0) != 0)
            continue;
        const std::size_t slash = url.find('/', scheme.size());
        RemoteUrl parsed;
        parsed.origin = url.substr(0, slash);
        parsed.prefix = slash == std::string::npos ? "" : url.substr(slash);
        parsed.shown = RedactUrlUserInfo(parsed.origin);
        while (!parsed.prefix.empty() && parsed.prefix.back() == '/')
            parsed.prefix.pop_back();
        if (parsed.origin.size() == scheme.size())
            break;
        return parsed;
    }
    return Error{400, "not an http:// or https:// URL: " + RedactUrlUserInfo(url)};
}

Result<RemoteReply> RemoteGet(const RemoteUrl& url, const std::string& path,
                              Clock::time_point deadline, const std::string& label,
                              const RemoteHeaders& headers) {
    return Call(url, Request("GET", path, headers), deadline, label);
}

Result<RemoteReply> RemotePost(const RemoteUrl& url, const std::string& path,
                               const std::string& body, const std::string& contentType,
                               Clock::time_point deadline, const std::string& label,
                               const RemoteHeaders& headers) {
    HttpRequest request = Request("POST", path, headers);
    request.headers.emplace_back("Content-Type", contentType);
    request.body = body;
    return Call(url, std::move(request), deadline, label);
}

} // namespace tervane::service
