#include "service/engines/EngineTable.h"

#include "service/engines/ApertiumSetup.h"
#include "service/engines/ApyEngine.h"
#include "service/engines/LibreTranslateEngine.h"
#include "service/engines/TervaneEngine.h"

namespace tervane::service {

const std::vector<EngineDefinition>& EngineTable() {
    static const std::vector<EngineDefinition> table = {
        ApertiumEngineDefinition(),
        ApyEngineDefinition(),
        LibreTranslateEngineDefinition(),
        TervaneEngineDefinition(),
    };
    return table;
}

std::vector<EngineSyntax> EngineSyntaxes() {
    std::vector<EngineSyntax> syntaxes;
    for (const EngineDefinition& row : EngineTable())
        syntaxes.push_back(row.syntax);
    return syntaxes;
}

Result<std::unique_ptr<Engine>> MakeEngine(const std::string& name, const Options& options,
                                           const EngineLog& log) {
    for (const EngineDefinition& row : EngineTable()) {
        if (row.syntax.name == name)
            return row.make(options, log);
    }
    // ParseOptions takes only the table's names.
    return Error{400, "no engine " + name};
}

} // namespace tervane::service
