#include "gtk/FlowTrace.h"

#include <glib.h>

#include <cstdio>
#include <cstdlib>

namespace tervane {

void TraceFlowPoint(const char* name) {
    static const char* const path = std::getenv("TERVANE_FLOW_TRACE");
    if (!path || !*path)
        return;
    if (std::FILE* file = std::fopen(path, "a")) {
        std::fprintf(file, "%s %lld\n", name, static_cast<long long>(g_get_monotonic_time()));
        std::fclose(file);
    }
}

void TraceFlowStage(FlowStage stage) {
    switch (stage) {
    case FlowStage::Started:
        TraceFlowPoint("started");
        break;
    case FlowStage::Captured:
        TraceFlowPoint("captured");
        break;
    case FlowStage::Translated:
        TraceFlowPoint("translated");
        break;
    case FlowStage::Shown:
        TraceFlowPoint("shown");
        break;
    case FlowStage::Replaced:
        TraceFlowPoint("replaced");
        break;
    }
}

} // namespace tervane
