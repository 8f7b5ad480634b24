#pragma once
// An HTTP transport for native tests: it records each request and answers with the next
// scripted response, or fails as a connection that cannot be made.
#include "net/HttpClient.h"

#include <gmock/gmock.h>

#include <deque>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tervane {

class FakeHttpTransport final : public HttpTransport {
  public:
    std::vector<HttpRequest> requests;
    // Each entry answers one request; an empty entry means no response at all.
    std::deque<std::optional<HttpResponse>> script;

    static HttpResponse Answer(int status, std::string reason, std::string body = {},
                               std::string location = {}) {
        return HttpResponse{"HTTP/1.1", status, std::move(reason), std::move(location),
                            std::move(body)};
    }

    HttpResponse Send(const HttpRequest& request) override {
        requests.push_back(request);
        if (script.empty())
            throw std::logic_error("unexpected request " + request.url);
        std::optional<HttpResponse> next = std::move(script.front());
        script.pop_front();
        if (!next)
            throw HttpConnectionError("A connection with the server could not be established");
        return *next;
    }

    // The value of a header of a recorded request, or nothing.
    static std::optional<std::string> Header(const HttpRequest& request, std::string_view name) {
        for (const auto& [key, value] : request.headers)
            if (key == name)
                return value;
        return std::nullopt;
    }
};

// The program's client over a fake transport that the test keeps hold of.
struct FakeHttpClient {
    FakeHttpTransport& fake = *new FakeHttpTransport;
    HttpClient http{std::unique_ptr<HttpTransport>(&fake)};
};

// Matches a call that throws an exception with exactly this message.
inline auto ThrowsError(std::string message) {
    return testing::ThrowsMessage<std::exception>(testing::StrEq(std::move(message)));
}

} // namespace tervane
