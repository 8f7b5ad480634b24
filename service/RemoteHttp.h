// Calls to a remote engine's HTTP API with the request's deadline, failures turned into
// the statuses the program is told (502 unreachable or refused, 504 too slow).
#pragma once

#include "service/Engine.h"

#include <optional>
#include <string>

namespace tervane::service {

struct RemoteUrl {
  std::string origin; // scheme://host:port
  std::string prefix; // path before the API's own paths, without trailing '/'
};

// Accepts http:// and https:// URLs; nullopt for anything else.
std::optional<RemoteUrl> parseRemoteUrl(const std::string &url);

struct RemoteReply {
  int status = 0;
  std::string body;
  std::optional<EngineError> error; // transport failure; status and body unset
};

RemoteReply remoteGet(const RemoteUrl &url, const std::string &path,
                      Clock::time_point deadline, const std::string &label);
RemoteReply remotePost(const RemoteUrl &url, const std::string &path, const std::string &body,
                       const std::string &contentType, Clock::time_point deadline,
                       const std::string &label);

} // namespace tervane::service
