#include "service/engines/RemoteEngineSetup.h"

#include "service/platform/LogOutput.h"

#include <fstream>

namespace tervane::service {

Result<RemoteUrl> RemoteServer(const Options& options, const std::string& urlFlag) {
    Result<RemoteUrl> url = ParseRemoteUrl(options.EngineValue(urlFlag));
    if (!url.Ok())
        return url.Failure();
    RemoteUrl server = url.Value();
    server.maxAnswer = options.MaxRemoteBody();
    return server;
}

Result<std::string> RemoteKey(const Options& options, const std::string& keyFileFlag) {
    const std::string& file = options.EngineValue(keyFileFlag);
    std::string key;
    if (file.empty())
        return key;
    std::ifstream in(PathFromUtf8(file));
    if (!in || !std::getline(in, key))
        return Error{500, "cannot read an API key from " + file};
    while (!key.empty() && (key.back() == '\r' || key.back() == ' '))
        key.pop_back();
    return key;
}

} // namespace tervane::service
