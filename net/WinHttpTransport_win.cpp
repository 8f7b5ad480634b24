#include "net/WinHttpTransport_win.h"

#include "base/WideText_win.h"

#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <stdexcept>

namespace tervane {

namespace {

struct HandleCloser {
    void operator()(HINTERNET handle) const { WinHttpCloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

// The reason of a failed request in words. WinHTTP's usual errors are spelled out here, as
// Windows words them, since Wine's winhttp.dll has no message table; Wine also reports a
// response that never came as the socket's WSAETIMEDOUT. Anything else as the system says.
std::string ErrorText(DWORD error) {
    switch (error) {
    case ERROR_WINHTTP_TIMEOUT:
    case WSAETIMEDOUT:
        return "The operation timed out";
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
        return "The server name or address could not be resolved";
    case ERROR_WINHTTP_CANNOT_CONNECT:
        return "A connection with the server could not be established";
    case ERROR_WINHTTP_CONNECTION_ERROR:
        return "The connection with the server was reset or terminated";
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
        return "The server returned an invalid or unrecognized response";
    // A certificate is never ignored: an answer from a server that is not the one named
    // could be anyone's.
    case ERROR_WINHTTP_SECURE_INVALID_CA:
        return "The server's certificate is not from a trusted authority";
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
        return "The server's certificate is for another name";
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
        return "The server's certificate has expired or is not yet valid";
    case ERROR_WINHTTP_SECURE_CERT_REVOKED:
        return "The server's certificate has been revoked";
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
    case ERROR_WINHTTP_SECURE_CERT_REV_FAILED:
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
        return "The secure connection with the server failed or its certificate is not trusted";
    }
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE |
                           FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       GetModuleHandleW(L"winhttp.dll"), error, 0,
                       reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer ? buffer : L"", length);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L'.'))
        text.pop_back();
    return text.empty() ? "Error " + std::to_string(error) : Narrow(text);
}

[[noreturn]] void ThrowFailure(const HttpRequest& request, DWORD error = GetLastError()) {
    const std::string text = ErrorText(error) + " (" + request.method + " " + request.url + ")";
    if (error == ERROR_WINHTTP_CANNOT_CONNECT)
        throw HttpConnectionError(text);
    if (error == ERROR_WINHTTP_TIMEOUT || error == WSAETIMEDOUT)
        throw HttpTimeoutError(text);
    throw std::runtime_error(text);
}

// WinHTTP bounds each step and each read by its time-outs, not the exchange: each wait gets
// what is left of the request's deadline when that is less, and none starts after it.
int Limit(int limitMs, const HttpRequest& request) {
    if (request.deadline == std::chrono::steady_clock::time_point::max())
        return limitMs;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          request.deadline - std::chrono::steady_clock::now())
                          .count();
    if (left <= 0)
        ThrowFailure(request, ERROR_WINHTTP_TIMEOUT);
    return static_cast<int>(std::min<long long>(limitMs, left));
}

[[noreturn]] void ThrowTooLarge(const HttpRequest& request) {
    throw HttpTooLargeError("The answer is larger than " + std::to_string(request.maxBodyBytes) +
                            " bytes (" + request.method + " " + request.url + ")");
}

// A response header as text, or empty when the response has none.
std::string QueryHeader(HINTERNET request, DWORD query) {
    DWORD size = 0;
    WinHttpQueryHeaders(request, query, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER,
                        &size, WINHTTP_NO_HEADER_INDEX);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0)
        return {};
    std::wstring value(size / sizeof(wchar_t), L'\0');
    if (!WinHttpQueryHeaders(request, query, WINHTTP_HEADER_NAME_BY_INDEX, value.data(), &size,
                             WINHTTP_NO_HEADER_INDEX))
        return {};
    value.resize(size / sizeof(wchar_t));
    return Narrow(value);
}

// The announced length; 0 when there is none, the largest value when it overflows.
std::uint64_t ContentLength(HINTERNET request) {
    const std::string text = QueryHeader(request, WINHTTP_QUERY_CONTENT_LENGTH);
    std::uint64_t length = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), length);
    return ec == std::errc::result_out_of_range ? UINT64_MAX : length;
}

} // namespace

struct WinHttpTransport::Session {
    Handle handle;
};

WinHttpTransport::WinHttpTransport(HttpTimeouts timeouts) : timeouts_(timeouts) {}

WinHttpTransport::~WinHttpTransport() = default;

WinHttpTransport::Session& WinHttpTransport::SessionFor(const std::string& proxy) {
    const std::lock_guard lock(mutex_);
    auto found = sessions_.find(proxy);
    if (found != sessions_.end())
        return *found->second;
    // No agent name here: the User-Agent header comes with each request. No bypass list:
    // the client has already decided which addresses go direct.
    const std::wstring proxyName = Widen(proxy);
    HINTERNET session = proxy.empty()
                            ? WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_NO_PROXY,
                                          WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0)
                            : WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_NAMED_PROXY,
                                          proxyName.c_str(), WINHTTP_NO_PROXY_BYPASS, 0);
    if (!session)
        throw std::runtime_error("Cannot start an HTTP session: " + ErrorText(GetLastError()));
    auto entry = std::make_unique<Session>(Session{Handle(session)});
    DWORD never = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
    WinHttpSetOption(session, WINHTTP_OPTION_REDIRECT_POLICY, &never, sizeof(never));
    return *sessions_.emplace(proxy, std::move(entry)).first->second;
}

HttpResponse WinHttpTransport::Send(const HttpRequest& request) {
    Session& session = SessionFor(request.proxy);
    Handle connection(WinHttpConnect(session.handle.get(), Widen(request.target.host).c_str(),
                                     request.target.port, 0));
    if (!connection)
        ThrowFailure(request);
    Handle handle(WinHttpOpenRequest(connection.get(), Widen(request.method).c_str(),
                                     Widen(request.target.path).c_str(), L"HTTP/1.1",
                                     WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                     request.target.secure ? WINHTTP_FLAG_SECURE : 0));
    if (!handle)
        ThrowFailure(request);
    // Wine waits for the response inside WinHttpSendRequest, bounded only by this option;
    // Windows' own default for it is 90 s. Both get the receive time-out.
    WinHttpSetTimeouts(handle.get(), Limit(timeouts_.resolveMs, request),
                       Limit(timeouts_.connectMs, request), Limit(timeouts_.sendMs, request),
                       Limit(timeouts_.receiveMs, request));
    DWORD responseTimeout = static_cast<DWORD>(Limit(timeouts_.receiveMs, request));
    WinHttpSetOption(handle.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &responseTimeout,
                     sizeof(responseTimeout));
    // Without keep-alive a fresh connection for every request: Wine writes the head and the
    // body in two sends without TCP_NODELAY, and on a kept-alive connection the body then
    // waits for the delayed acknowledgement of the head (about 40 ms on Linux), while a new
    // connection has its first segments acknowledged at once.
    if (!timeouts_.keepAlive) {
        DWORD noKeepAlive = WINHTTP_DISABLE_KEEP_ALIVE;
        WinHttpSetOption(handle.get(), WINHTTP_OPTION_DISABLE_FEATURE, &noKeepAlive,
                         sizeof(noKeepAlive));
    }

    std::string headers;
    for (const auto& [name, value] : request.headers)
        headers += name + ": " + value + "\r\n";
    const std::wstring wideHeaders = Widen(headers);
    // The body goes with the head in the one call, so that WinHTTP may write both at once
    // (Wine's does not: it sends them one after the other).
    const auto length = static_cast<DWORD>(request.body.size());
    void* body = length ? const_cast<char*>(request.body.data()) : WINHTTP_NO_REQUEST_DATA;
    if (!WinHttpSendRequest(handle.get(), wideHeaders.c_str(), static_cast<DWORD>(-1L), body,
                            length, length, 0) ||
        !WinHttpReceiveResponse(handle.get(), nullptr))
        ThrowFailure(request);

    HttpResponse response;
    DWORD status = 0;
    DWORD size = sizeof(status);
    WinHttpQueryHeaders(handle.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                        WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
    response.status = static_cast<int>(status);
    response.version = QueryHeader(handle.get(), WINHTTP_QUERY_VERSION);
    response.reason = QueryHeader(handle.get(), WINHTTP_QUERY_STATUS_TEXT);
    response.location = QueryHeader(handle.get(), WINHTTP_QUERY_LOCATION);
    // A length announced beyond the bound is refused before any of the body is read: the
    // Windows service is 32-bit, and a flood would run it out of address space.
    if (request.maxBodyBytes && ContentLength(handle.get()) > request.maxBodyBytes)
        ThrowTooLarge(request);

    char buffer[16384];
    for (;;) {
        DWORD readTimeout = static_cast<DWORD>(Limit(timeouts_.receiveMs, request));
        WinHttpSetOption(handle.get(), WINHTTP_OPTION_RECEIVE_TIMEOUT, &readTimeout,
                         sizeof(readTimeout));
        // Only what has arrived is read, so that a trickle comes back to the deadline check
        // after every piece instead of waiting for the buffer to fill.
        DWORD available = 0;
        if (!WinHttpQueryDataAvailable(handle.get(), &available))
            ThrowFailure(request);
        DWORD read = 0;
        if (available > 0 && !WinHttpReadData(handle.get(), buffer,
                                              std::min<DWORD>(available, sizeof(buffer)), &read))
            ThrowFailure(request);
        if (read == 0)
            break;
        response.body.append(buffer, read);
        if (request.maxBodyBytes && response.body.size() > request.maxBodyBytes)
            ThrowTooLarge(request);
    }
    return response;
}

std::unique_ptr<HttpTransport> MakeHttpTransport(HttpTimeouts timeouts) {
    return std::make_unique<WinHttpTransport>(timeouts);
}

} // namespace tervane
