// Requests to a running service as the program sends them, over a real loopback socket.
#pragma once

#include <chrono>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tervane::testing {

struct Reply {
    int status = 0; // 0: no answer at all
    std::string reason;
    std::string body;
    std::string contentType;
    std::string retryAfter;
};

Reply PostForm(unsigned short port, const std::string& body,
               const std::string& contentType = "application/x-www-form-urlencoded");
Reply PostTranslate(unsigned short port, const std::string& text, const std::string& source,
                    const std::string& target);
Reply GetPath(unsigned short port, const std::string& path);
// The program's request for one word (POST /words, the form of /translate).
Reply PostWords(unsigned short port, const std::string& text, const std::string& source,
                const std::string& target);

// Requests to the APy and LibreTranslate faces as those APIs' clients send them, with the
// JSON answer read (discarded when the body is not JSON).
struct JsonReply : Reply {
    nlohmann::json json;
};
using Headers = std::vector<std::pair<std::string, std::string>>;
JsonReply GetJson(unsigned short port, const std::string& pathAndQuery,
                  const Headers& headers = {});
JsonReply PostJson(unsigned short port, const std::string& path, const nlohmann::json& body,
                   const Headers& headers = {});
JsonReply PostFormJson(unsigned short port, const std::string& path, const std::string& form);
// A query or form value percent-encoded as a browser would.
std::string UrlEncode(const std::string& text);

// A request as the program sends it; a 503 is tried again after its Retry-After, up to
// `attempts` times in all.
Reply PostTranslateRetrying(unsigned short port, const std::string& text, const std::string& source,
                            const std::string& target, int attempts);

// One answer read off a raw connection.
struct RawReply {
    int status = 0; // 0: none came
    std::string reason;
    std::map<std::string, std::string> headers; // names in lower case
    std::string body;
    std::string Header(const std::string& lowerName) const;
};

// The bytes of the program's French-to-Spanish request for text, for a RawConnection.
std::string TranslateRequest(const std::string& text, const std::string& extraHeaders = "");

// A connection that sends exactly the bytes it is given: for the requests a well-behaved
// client never makes, and for holding connections open.
class RawConnection {
  public:
    explicit RawConnection(unsigned short port);
    ~RawConnection();
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    bool Connected() const { return fd_ >= 0; }
    bool Send(std::string_view data);
    // Reads one answer (without a body after HEAD); status 0 when none came within timeout.
    RawReply Read(bool afterHead = false,
                  std::chrono::milliseconds timeout = std::chrono::seconds(30));
    // Whether the server ends the connection, with nothing more sent, within timeout.
    bool ClosedByServer(std::chrono::milliseconds timeout = std::chrono::seconds(30));

  private:
    bool Fill(std::chrono::steady_clock::time_point deadline);
    int fd_ = -1;
    std::string buffer_;
};

// Polls GET path until it answers 200 or the time is up.
bool WaitForOk(unsigned short port, const std::string& path, std::chrono::seconds timeout);

} // namespace tervane::testing
