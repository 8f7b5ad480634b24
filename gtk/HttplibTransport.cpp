#include "gtk/HttplibTransport.h"

#include <httplib.h>

#include <stdexcept>

namespace tervane {

namespace {

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

// The reason of a failed request in the words the Windows program uses for WinHTTP's.
std::string FailureText(httplib::Error error) {
    switch (error) {
    case httplib::Error::Connection:
        return "A connection with the server could not be established";
    case httplib::Error::ConnectionTimeout:
        return "The operation timed out";
    case httplib::Error::Read:
    case httplib::Error::Write:
        return "The connection with the server was reset or terminated";
    default:
        return "The request failed: " + httplib::to_string(error);
    }
}

} // namespace

HttpResponse HttplibTransport::Send(const HttpRequest& request) {
    std::string host = request.target.host;
    // cpp-httplib takes an IPv6 address without its brackets.
    if (host.size() > 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    httplib::Client client(host, request.target.port);
    client.set_connection_timeout(5, 0);
    client.set_write_timeout(5, 0);
    client.set_read_timeout(15, 0);
    client.set_follow_location(false);
    client.set_keep_alive(false);
    if (!request.proxy.empty()) {
        const std::size_t colon = request.proxy.rfind(':');
        client.set_proxy(request.proxy.substr(0, colon),
                         colon == std::string::npos ? 80
                                                    : std::stoi(request.proxy.substr(colon + 1)));
    }

    httplib::Request out;
    out.method = request.method;
    out.path = request.target.path;
    for (const auto& [name, value] : request.headers)
        out.headers.emplace(name, value);
    if (const std::string cookies = CookieHeader(); !cookies.empty())
        out.headers.emplace("Cookie", cookies);
    if (request.method == "POST")
        out.body = request.body;

    httplib::Response in;
    httplib::Error error = httplib::Error::Success;
    if (!client.send(out, in, error)) {
        const std::string text =
            FailureText(error) + " (" + request.method + " " + request.url + ")";
        if (error == httplib::Error::Connection)
            throw HttpConnectionError(text);
        throw std::runtime_error(text);
    }

    for (std::size_t i = 0; i < in.get_header_value_count("Set-Cookie"); ++i)
        KeepCookies(in.get_header_value("Set-Cookie", i));
    HttpResponse response;
    response.version = in.version;
    response.status = in.status;
    response.reason = in.reason;
    response.location = in.get_header_value("Location");
    response.body = std::move(in.body);
    return response;
}

// Only the name and value count: the program talks to one service for its whole run.
void HttplibTransport::KeepCookies(const std::string& setCookie) {
    const std::string_view pair = std::string_view(setCookie).substr(0, setCookie.find(';'));
    const std::size_t equals = pair.find('=');
    if (equals == std::string_view::npos)
        return;
    cookies_[std::string(Trimmed(pair.substr(0, equals)))] =
        std::string(Trimmed(pair.substr(equals + 1)));
}

std::string HttplibTransport::CookieHeader() const {
    std::string header;
    for (const auto& [name, value] : cookies_)
        header.append(header.empty() ? "" : "; ").append(name).append("=").append(value);
    return header;
}

} // namespace tervane
