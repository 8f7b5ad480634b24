#include "net/HttpClient.h"

#include <stdexcept>

namespace tervane {

namespace {

std::string Base64(std::string_view bytes) {
    static constexpr char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        std::uint32_t group = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size())
            group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size())
            group |= static_cast<unsigned char>(bytes[i + 2]);
        out += kDigits[(group >> 18) & 63];
        out += kDigits[(group >> 12) & 63];
        out += i + 1 < bytes.size() ? kDigits[(group >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? kDigits[group & 63] : '=';
    }
    return out;
}

} // namespace

void ProxyParams::Clear() {
    proxyServer.clear();
    proxyPort = 0;
    proxyUsername.clear();
    proxyPassword.clear();
}

HttpClient::HttpClient(std::unique_ptr<HttpTransport> transport)
    : transport_(std::move(transport)) {}

std::string HttpClient::Post(std::string_view url, std::string_view body) {
    return Send("POST", url, body);
}

std::string HttpClient::Get(std::string_view url) {
    return Send("GET", url, {});
}

std::string HttpClient::Send(std::string method, std::string_view url, std::string_view body) {
    location_.clear();
    HttpRequest request;
    request.method = std::move(method);
    request.url = url;
    request.target = ParseHttpUrl(url);
    request.headers.emplace_back("Accept", request_.accept);
    request.headers.emplace_back("User-Agent", request_.userAgent);
    if (request.method == "POST") {
        request.headers.emplace_back("Content-Type", request_.contentType);
        request.body = body;
    }
    // A proxy on another machine cannot reach this machine's loopback: such an address is
    // always reached directly.
    if (!proxy_.proxyServer.empty() && !IsLoopbackHost(request.target.host)) {
        request.proxy = proxy_.proxyServer + ":" + std::to_string(proxy_.proxyPort);
        if (proxy_.basicAuthentication)
            request.headers.emplace_back(
                "Proxy-Authorization",
                "Basic " + Base64(proxy_.proxyUsername + ":" + proxy_.proxyPassword));
    }

    HttpResponse response = transport_->Send(request);
    // A relative Location (allowed by HTTP) means the same server: it is kept resolved.
    location_ = response.location.empty() ? std::string() : ResolveHttpUrl(url, response.location);
    if (response.status < 200 || response.status > 299) {
        std::string statusLine = response.version + " " + std::to_string(response.status);
        if (!response.reason.empty())
            statusLine += " " + response.reason;
        throw HttpStatusError(response.status, response.reason, statusLine);
    }
    return std::move(response.body);
}

} // namespace tervane
