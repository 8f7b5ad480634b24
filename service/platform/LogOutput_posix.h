// The log written to a POSIX descriptor (standard error, or a pipe in tests).
#pragma once

#include "service/platform/LogOutput.h"

namespace tervane::service {

// Writes in pieces of at most PIPE_BUF bytes, each once poll says there is room, so that
// no write blocks on a full pipe and the writer always sees the stop.
LogOutput DescriptorOutput(int fd, std::string name = "standard error");

} // namespace tervane::service
