#pragma once
// The order in which a capture looks for the selected text. Applications answer in
// different ways (a copy command, a browser's document, UI Automation, only a keystroke), so
// the ways are asked one after another and the first that finds a text ends the search. The
// ways themselves are seams: the Win32 ones in SelectionCapture_win, doubles in the tests.
#include <functional>
#include <string>
#include <vector>

namespace tervane {

// The ways, in the order a capture asks them. `None`: no way found a text.
enum class CaptureWay { None, CopyMessage, Browser, UiAutomation, CopyKeystroke };

// "WM_COPY", "browser", "UI Automation", "keystroke", "none": for traces and benchmarks.
const char* CaptureWayName(CaptureWay way);

struct CaptureStep {
    CaptureWay way;
    // The selection this way finds (UTF-8), empty when it finds none. It throws
    // std::exception when it fails.
    std::function<std::string()> read;
};

struct WayFailure {
    CaptureWay way;
    std::string message;
};

struct CaptureOutcome {
    CaptureWay way = CaptureWay::None; // the way that found the text
    std::string text;
    // The ways that failed before the text was found (or before all were asked), in order.
    std::vector<WayFailure> failures;
};

// Asks `steps` in order until one gives a non-empty text. A way that fails falls through to
// the next, since another way may still reach the selection; the failure is kept in the
// outcome. The last way has no other behind it: its failure is the capture's error and is
// thrown on, as a failure to read a selection that is there must not look like an empty one.
CaptureOutcome RunCaptureWays(const std::vector<CaptureStep>& steps);

// The text of a selection made of several ranges (UI Automation gives one per part of a
// disjoint selection), one range a line. Empty ranges are left out: an application with
// nothing selected gives its caret as one empty range.
std::string JoinSelectedRanges(const std::vector<std::string>& ranges);

// One line per failure, "<way>: <message>", for a developer's trace.
std::string DescribeFailures(const CaptureOutcome& outcome);

} // namespace tervane
