#include "translate/CaptureWays.h"

#include <exception>

namespace tervane {

const char* CaptureWayName(CaptureWay way) {
    switch (way) {
    case CaptureWay::CopyMessage:
        return "WM_COPY";
    case CaptureWay::Browser:
        return "browser";
    case CaptureWay::UiAutomation:
        return "UI Automation";
    case CaptureWay::CopyKeystroke:
        return "keystroke";
    case CaptureWay::None:
        break;
    }
    return "none";
}

CaptureOutcome RunCaptureWays(const std::vector<CaptureStep>& steps) {
    CaptureOutcome outcome;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const CaptureStep& step = steps[i];
        std::string text;
        try {
            text = step.read();
        } catch (const std::exception& e) {
            if (i + 1 == steps.size())
                throw;
            outcome.failures.push_back({step.way, e.what()});
            continue;
        }
        if (!text.empty()) {
            outcome.way = step.way;
            outcome.text = std::move(text);
            break;
        }
    }
    return outcome;
}

std::string JoinSelectedRanges(const std::vector<std::string>& ranges) {
    std::string text;
    for (const std::string& range : ranges) {
        if (range.empty())
            continue;
        if (!text.empty())
            text += "\r\n";
        text += range;
    }
    return text;
}

std::string DescribeFailures(const CaptureOutcome& outcome) {
    std::string lines;
    for (const WayFailure& failure : outcome.failures)
        lines += std::string(CaptureWayName(failure.way)) + ": " + failure.message + "\n";
    return lines;
}

} // namespace tervane
