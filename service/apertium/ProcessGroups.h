// The processes the service starts, kept from outliving it: each pipeline (a pair host and
// the stage processes it starts, or a pipeline of stage processes) is a process group of its
// own that is ended whole, every group is ended when the service ends, and each process is
// killed by the kernel when the process that started it dies (PR_SET_PDEATHSIG), should the
// service be killed before it could end them.
#pragma once

#include "service/apertium/ApertiumMode.h"
#include "service/core/Result.h"

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tervane::service {

// Where a started process goes: a group of its own that it leads, the group given, or the
// starter's own group (a pair host's stages stay in the host's group).
struct Grouping {
    enum class Kind { NewGroup, Join, Inherit } kind = Kind::Inherit;
    pid_t group = 0; // for Join
};

// Starts command with in, out and err (err -1: standard error kept) as its standard streams,
// from a thread that lives as long as the process (the parent-death signal follows the
// thread that started a process, not the process). Failure: why, naming the program.
Result<pid_t> StartProcess(const Command& command, int in, int out, int err, Grouping grouping,
                           const std::vector<std::string>& environment);

// The groups started with Grouping::NewGroup and not yet ended.
void RememberGroup(pid_t group);
void ForgetGroup(pid_t group);

// Ends every remembered group: SIGTERM, then SIGKILL to what is left after grace.
void EndAllGroups(std::chrono::milliseconds grace);
// Whether EndAllGroups began: a process that fails from then on was ended, not broken.
bool EndingAllGroups();

} // namespace tervane::service
