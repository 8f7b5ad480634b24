// Reading an HTTP/1.1 request head and writing a response. Kept apart from the sockets so
// that the parser can be tested and fuzzed on plain bytes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tervane::service {

struct HttpRequest {
  std::string method;
  std::string target; // path and query as sent
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;
  std::size_t contentLength = 0;
  bool keepAlive = true;
  bool expectContinue = false;

  // First header of that name (case-insensitive), or nullopt.
  std::optional<std::string_view> header(std::string_view name) const;
  // The path without its query.
  std::string_view path() const;
};

struct HttpResponse {
  int status = 200;
  std::string reason; // one line; the standard phrase when empty
  std::string contentType = "text/plain; charset=utf-8";
  std::string body;
};

struct HeadLimits {
  std::size_t maxHeadBytes = 16 * 1024;
  std::size_t maxHeaders = 64;
};

struct HeadParse {
  enum class State { NeedMore, Complete, Error } state = State::NeedMore;
  HttpRequest request;     // filled when Complete
  std::size_t headLength = 0; // bytes of the head, including the blank line
  int status = 0;          // when Error: the status to answer with
  std::string reason;
};

// Parses the request line and headers at the start of buffer. Rejects what the service
// does not speak: chunked bodies, versions other than HTTP/1.0 and HTTP/1.1.
HeadParse parseRequestHead(std::string_view buffer, const HeadLimits &limits);

// The standard reason phrase of a status.
std::string_view standardReason(int status);

// A reason phrase safe for the status line: printable ASCII only, at most 200 bytes.
std::string sanitizeReason(std::string_view reason);

// Status line, headers and body, ready to send.
std::string serializeResponse(const HttpResponse &response, bool keepAlive);

} // namespace tervane::service
