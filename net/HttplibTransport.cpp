#include "net/HttplibTransport.h"

#include <httplib.h>

#include <algorithm>
#include <charconv>
#include <stdexcept>

namespace tervane {

namespace {

using Clock = std::chrono::steady_clock;

// Idle connections kept per host: enough for the service's remote engines under load,
// few enough that a server sees no flood of idle sockets.
constexpr std::size_t kIdlePerHost = 8;

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

std::string Origin(const HttpUrl& target) {
    return (target.secure ? "https://" : "http://") + target.host + ":" +
           std::to_string(target.port);
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
    case httplib::Error::SSLConnection:
    case httplib::Error::SSLServerVerification:
        return "The secure connection with the server failed or its certificate is not trusted";
    default:
        return "The request failed: " + httplib::to_string(error);
    }
}

std::string Described(const std::string& text, const HttpRequest& request) {
    return text + " (" + request.method + " " + request.url + ")";
}

} // namespace

struct HttplibTransport::Connection {
    explicit Connection(const std::string& origin) : client(origin) {}
    httplib::Client client;
};

HttplibTransport::HttplibTransport(HttpTimeouts timeouts) : timeouts_(timeouts) {}

HttplibTransport::~HttplibTransport() = default;

std::unique_ptr<HttplibTransport::Connection> HttplibTransport::Idle(const std::string& key) {
    const std::lock_guard lock(mutex_);
    auto& idle = idle_[key];
    if (idle.empty())
        return nullptr;
    auto connection = std::move(idle.back());
    idle.pop_back();
    return connection;
}

std::unique_ptr<HttplibTransport::Connection> HttplibTransport::Open(const HttpRequest& request) {
    auto connection = std::make_unique<Connection>(Origin(request.target));
    if (!connection->client.is_valid())
        throw std::runtime_error(Described("Invalid HTTP address", request));
    httplib::Client& client = connection->client;
    client.set_follow_location(false);
    client.set_keep_alive(timeouts_.keepAlive);
    // Head and body go out in two writes: without this the body of a request on a
    // kept-alive connection would wait for the delayed acknowledgement of the head.
    client.set_tcp_nodelay(true);
    if (!request.proxy.empty()) {
        const std::size_t colon = request.proxy.rfind(':');
        client.set_proxy(request.proxy.substr(0, colon),
                         colon == std::string::npos ? 80
                                                    : std::stoi(request.proxy.substr(colon + 1)));
    }
    return connection;
}

void HttplibTransport::Keep(const std::string& key, std::unique_ptr<Connection> connection) {
    const std::lock_guard lock(mutex_);
    auto& idle = idle_[key];
    if (idle.size() < kIdlePerHost)
        idle.push_back(std::move(connection));
}

// cpp-httplib bounds each read and write, not the exchange. Each wait gets the time left
// when that is less than its own limit, and the body's reader ends the exchange at the
// deadline: a server that trickles its body a byte at a time is cut off by the first byte
// after it. (A head trickled slower than each wait still outlasts the deadline: cpp-httplib
// offers no way to end it from inside without a thread watching.)
HttpResponse HttplibTransport::Send(const HttpRequest& request) {
    const std::string origin = Origin(request.target);
    const std::string key = origin + " " + request.proxy;
    // A kept connection that the server closed while it was idle fails before any answer:
    // the exchange is then tried once more on a new one.
    std::unique_ptr<Connection> connection = Idle(key);
    if (connection) {
        try {
            return Exchange(key, std::move(connection), request);
        } catch (const HttpTimeoutError&) {
            throw;
        } catch (const HttpTooLargeError&) {
            throw;
        } catch (const std::runtime_error&) {
        }
    }
    return Exchange(key, Open(request), request);
}

HttpResponse HttplibTransport::Exchange(const std::string& key,
                                        std::unique_ptr<Connection> connection,
                                        const HttpRequest& request) {
    const Clock::time_point started = Clock::now();
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::min(request.deadline - started, Clock::duration(std::chrono::hours(1))));
    if (left.count() <= 0)
        throw HttpTimeoutError(Described("The operation timed out", request));
    const auto limit = [&](int ms) { return std::min(std::chrono::milliseconds(ms), left); };
    httplib::Client& client = connection->client;
    client.set_connection_timeout(limit(timeouts_.resolveMs + timeouts_.connectMs));
    client.set_write_timeout(limit(timeouts_.sendMs));
    client.set_read_timeout(limit(timeouts_.receiveMs));

    const std::string origin = Origin(request.target);
    httplib::Request out;
    out.method = request.method;
    out.path = request.target.path;
    for (const auto& [name, value] : request.headers)
        out.headers.emplace(name, value);
    if (const std::string cookies = CookieHeader(origin); !cookies.empty())
        out.headers.emplace("Cookie", cookies);
    if (request.method == "POST")
        out.body = request.body;

    bool tooLarge = false;
    bool late = false;
    std::string body;
    // A length announced beyond the bound is refused before any of the body is read.
    out.response_handler = [&](const httplib::Response& response) {
        const std::string length = response.get_header_value("Content-Length");
        std::uint64_t announced = 0;
        const auto [end, ec] =
            std::from_chars(length.data(), length.data() + length.size(), announced);
        tooLarge = request.maxBodyBytes && !length.empty() &&
                   (ec == std::errc::result_out_of_range ||
                    (ec == std::errc() && announced > request.maxBodyBytes));
        return !tooLarge;
    };
    out.content_receiver = [&](const char* data, std::size_t size, std::uint64_t, std::uint64_t) {
        tooLarge = request.maxBodyBytes && body.size() + size > request.maxBodyBytes;
        late = Clock::now() >= request.deadline;
        if (tooLarge || late)
            return false;
        body.append(data, size);
        return true;
    };

    httplib::Response in;
    httplib::Error error = httplib::Error::Success;
    if (!client.send(out, in, error)) {
        const Clock::time_point ended = Clock::now();
        if (tooLarge)
            throw HttpTooLargeError(Described("The answer is larger than " +
                                                  std::to_string(request.maxBodyBytes) + " bytes",
                                              request));
        if (late || ended >= request.deadline || error == httplib::Error::ConnectionTimeout ||
            (error == httplib::Error::Read && ended - started >= limit(timeouts_.receiveMs)))
            throw HttpTimeoutError(Described("The operation timed out", request));
        if (error == httplib::Error::Connection)
            throw HttpConnectionError(Described(FailureText(error), request));
        throw std::runtime_error(Described(FailureText(error), request));
    }
    if (timeouts_.keepAlive)
        Keep(key, std::move(connection));

    for (std::size_t i = 0; i < in.get_header_value_count("Set-Cookie"); ++i)
        KeepCookies(origin, in.get_header_value("Set-Cookie", i));
    HttpResponse response;
    response.version = in.version;
    response.status = in.status;
    response.reason = in.reason;
    response.location = in.get_header_value("Location");
    response.body = std::move(body);
    return response;
}

// Only the name and value count: a client talks to few servers, each with its own cookies.
void HttplibTransport::KeepCookies(const std::string& origin, const std::string& setCookie) {
    const std::string_view pair = std::string_view(setCookie).substr(0, setCookie.find(';'));
    const std::size_t equals = pair.find('=');
    if (equals == std::string_view::npos)
        return;
    const std::lock_guard lock(mutex_);
    cookies_[origin][std::string(Trimmed(pair.substr(0, equals)))] =
        std::string(Trimmed(pair.substr(equals + 1)));
}

std::string HttplibTransport::CookieHeader(const std::string& origin) {
    const std::lock_guard lock(mutex_);
    std::string header;
    for (const auto& [name, value] : cookies_[origin])
        header.append(header.empty() ? "" : "; ").append(name).append("=").append(value);
    return header;
}

std::unique_ptr<HttpTransport> MakeHttpTransport(HttpTimeouts timeouts) {
    return std::make_unique<HttplibTransport>(timeouts);
}

} // namespace tervane
