#include "service/engines/RemoteTransport.h"

#include "base/WideText_win.h"
#include "net/HttpUrl.h"

#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <charconv>
#include <memory>
#include <stdexcept>

namespace tervane::service {
namespace {

struct HandleCloser {
    void operator()(HINTERNET handle) const { WinHttpCloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

// WinHTTP bounds each step and each read by its time-outs, not the exchange: every step and
// every read gets the time left, and nothing starts once the deadline has passed.
int MillisecondsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, 3600 * 1000));
}

void LimitTo(HINTERNET request, int ms) {
    WinHttpSetTimeouts(request, ms, ms, ms, ms);
    DWORD response = static_cast<DWORD>(ms);
    WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &response, sizeof(response));
}

Error Failed(const char* step, Clock::time_point deadline) {
    const DWORD error = GetLastError();
    if (error == ERROR_WINHTTP_TIMEOUT || error == WSAETIMEDOUT || MillisecondsLeft(deadline) == 0)
        return Error{504, std::string(step) + ": no answer by the deadline"};
    if (error == ERROR_WINHTTP_CANNOT_CONNECT)
        return Error{502, "A connection with the server could not be established"};
    if (error == ERROR_WINHTTP_NAME_NOT_RESOLVED)
        return Error{502, "The server name or address could not be resolved"};
    // A certificate is never ignored: an answer from a server that is not the one named
    // could be anyone's.
    if (error == ERROR_WINHTTP_SECURE_FAILURE || error == ERROR_WINHTTP_SECURE_INVALID_CA ||
        error == ERROR_WINHTTP_SECURE_CERT_CN_INVALID ||
        error == ERROR_WINHTTP_SECURE_CERT_DATE_INVALID ||
        error == ERROR_WINHTTP_SECURE_INVALID_CERT || error == ERROR_WINHTTP_SECURE_CHANNEL_ERROR)
        return Error{502, "The secure connection with the server failed or its certificate is "
                          "not trusted"};
    return Error{502, std::string(step) + " failed (WinHTTP error " + std::to_string(error) + ")"};
}

std::uint64_t ContentLength(HINTERNET request) {
    wchar_t text[32] = {};
    DWORD size = sizeof(text);
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_LENGTH, WINHTTP_HEADER_NAME_BY_INDEX,
                             text, &size, WINHTTP_NO_HEADER_INDEX)) {
        return 0;
    }
    const std::string narrow = Narrow(std::wstring(text, size / sizeof(wchar_t)));
    std::uint64_t length = 0;
    const auto [end, ec] = std::from_chars(narrow.data(), narrow.data() + narrow.size(), length);
    return ec == std::errc::result_out_of_range ? UINT64_MAX : length;
}

} // namespace

// http:// and https:// (WinHTTP's own TLS, the server's certificate checked against the
// system's trusted roots); no proxy: the engines are servers the operator named.
Result<RemoteReply> SendRemote(const RemoteUrl& url, const RemoteCall& call,
                               Clock::time_point deadline) {
    HttpUrl target;
    try {
        target = ParseHttpUrl(url.origin + call.path);
    } catch (const std::runtime_error& error) {
        return Error{502, error.what()};
    }
    Handle session(WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                               WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session)
        return Failed("Opening an HTTP session", deadline);
    DWORD never = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
    WinHttpSetOption(session.get(), WINHTTP_OPTION_REDIRECT_POLICY, &never, sizeof(never));
    Handle connection(WinHttpConnect(session.get(), Widen(target.host).c_str(), target.port, 0));
    if (!connection)
        return Failed("Connecting", deadline);
    Handle request(WinHttpOpenRequest(
        connection.get(), Widen(call.method).c_str(), Widen(target.path).c_str(), L"HTTP/1.1",
        WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, target.secure ? WINHTTP_FLAG_SECURE : 0));
    if (!request)
        return Failed("Opening the request", deadline);
    std::string headerLines;
    if (call.method == "POST")
        headerLines += "Content-Type: " + call.contentType + "\r\n";
    if (!call.headers.authorization.empty())
        headerLines += "Authorization: " + call.headers.authorization + "\r\n";
    if (!call.headers.accept.empty())
        headerLines += "Accept: " + call.headers.accept + "\r\n";
    const std::wstring headers = Widen(headerLines);
    const auto length = static_cast<DWORD>(call.body.size());
    void* body = length ? const_cast<char*>(call.body.data()) : WINHTTP_NO_REQUEST_DATA;
    LimitTo(request.get(), MillisecondsLeft(deadline));
    if (MillisecondsLeft(deadline) == 0 ||
        !WinHttpSendRequest(
            request.get(), headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str(),
            headers.empty() ? 0 : static_cast<DWORD>(-1L), body, length, length, 0)) {
        return Failed("Sending the request", deadline);
    }
    LimitTo(request.get(), MillisecondsLeft(deadline));
    if (MillisecondsLeft(deadline) == 0 || !WinHttpReceiveResponse(request.get(), nullptr))
        return Failed("Waiting for the answer", deadline);

    RemoteReply reply;
    DWORD status = 0;
    DWORD size = sizeof(status);
    WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                        WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
    reply.status = static_cast<int>(status);
    // The service is 32-bit on Windows: a flood would run it out of address space long
    // before it ran out of memory.
    if (ContentLength(request.get()) > url.maxAnswer)
        return Error{kAnswerTooLarge, "answer too large"};
    char buffer[16384];
    while (true) {
        const int left = MillisecondsLeft(deadline);
        if (left == 0)
            return Error{504, "Reading the answer: no whole answer by the deadline"};
        LimitTo(request.get(), left);
        // Only what has come: a read of more may wait for all of it (Wine's does), past the
        // deadline when the server trickles.
        DWORD available = 0;
        if (!WinHttpQueryDataAvailable(request.get(), &available))
            return Failed("Reading the answer", deadline);
        if (available == 0)
            break;
        DWORD read = 0;
        if (!WinHttpReadData(request.get(), buffer, std::min<DWORD>(available, sizeof(buffer)),
                             &read))
            return Failed("Reading the answer", deadline);
        if (read == 0)
            break;
        if (reply.body.size() + read > url.maxAnswer)
            return Error{kAnswerTooLarge, "answer too large"};
        reply.body.append(buffer, read);
    }
    return reply;
}

} // namespace tervane::service
