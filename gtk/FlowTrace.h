#pragma once
// For bench/gtk-hotkey-bench.py: with TERVANE_FLOW_TRACE naming a file, each translation
// appends one line per stage ("<stage> <microseconds>", a monotonic clock): the hotkey's
// arrival, the flow's stages and the balloon's first drawing. Nothing happens without it.
#include "app/TranslationFlow.h"

namespace tervane {

void TraceFlowStage(FlowStage stage);
// A point outside the flow: "pressed", "drawn", "minimized".
void TraceFlowPoint(const char* name);

} // namespace tervane
