#include "service/apertium/host/LibraryStages.h"

namespace tervane::service::host {

std::unique_ptr<Stage> MakeLibraryStage(const Command& command) {
    const std::optional<CommandFlags> flags =
        ReadFlags(command, command.front().ends_with("lt-proc") ? "N" : "");
    if (!flags)
        return nullptr;
    const std::string& program = flags->program;
    if (program == "lt-proc")
        return MakeLtProcStage(*flags);
    if (program == "apertium-tagger")
        return MakeTaggerStage(*flags);
    if (program == "lrx-proc")
        return MakeLexicalSelection(*flags);
    if (program.starts_with("apertium-"))
        return MakeTransferStage(*flags);
    return nullptr;
}

} // namespace tervane::service::host
