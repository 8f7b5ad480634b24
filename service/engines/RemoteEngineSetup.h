// What a remote engine's row reads from the command line: its server's address and the key
// it sends there.
#pragma once

#include "service/core/Options.h"
#include "service/engines/RemoteHttp.h"

#include <memory>
#include <string>

namespace tervane::service {

// The server named by the option urlFlag, its answers bounded by --max-remote-body.
Result<RemoteUrl> RemoteServer(const Options& options, const std::string& urlFlag);

// The key an engine sends to its server: the first line of the file named by the option
// keyFileFlag (so that the key is not on the command line), or none when no file is named.
Result<std::string> RemoteKey(const Options& options, const std::string& keyFileFlag);

// A remote engine that sends a key: made as RemoteEngineType(server, key).
template <typename RemoteEngineType>
Result<std::unique_ptr<Engine>> MakeKeyedRemoteEngine(const Options& options,
                                                      const std::string& urlFlag,
                                                      const std::string& keyFileFlag) {
    const Result<RemoteUrl> server = RemoteServer(options, urlFlag);
    if (!server.Ok())
        return server.Failure();
    const Result<std::string> key = RemoteKey(options, keyFileFlag);
    if (!key.Ok())
        return key.Failure();
    return std::unique_ptr<Engine>(std::make_unique<RemoteEngineType>(server.Value(), key.Value()));
}

} // namespace tervane::service
