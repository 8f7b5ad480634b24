#include "service/http/SharedRateStorage.h"

namespace tervane::service {

Result<std::unique_ptr<RateStorage>>
MakeSharedRateStorage(const RedisAddress&, std::size_t, std::function<void(const std::string&)>) {
    return Error{400, "--rate-limit-storage is not supported on Windows: run several instances "
                      "on Linux to share one limit"};
}

} // namespace tervane::service
