// The order of the capture's ways: the first that finds a text ends the search, a failing
// way falls through, the last way's failure is the capture's error.
#include "translate/CaptureWays.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace tervane;

namespace {

// A way that answers `text`, or fails with `failure` when one is given, and notes that it
// was asked.
CaptureStep Way(CaptureWay way, std::vector<CaptureWay>& asked, std::string text,
                std::string failure = {}) {
    return {way, [=, &asked] {
                asked.push_back(way);
                if (!failure.empty())
                    throw std::runtime_error(failure);
                return text;
            }};
}

TEST(CaptureWays, TheFirstWayWithATextEndsTheSearchAndIsNamed) {
    std::vector<CaptureWay> asked;
    const CaptureOutcome copied = RunCaptureWays({
        Way(CaptureWay::CopyMessage, asked, "Bonjour"),
        Way(CaptureWay::Browser, asked, "never asked"),
    });
    EXPECT_EQ(copied.way, CaptureWay::CopyMessage);
    EXPECT_EQ(copied.text, "Bonjour");
    EXPECT_EQ(asked, std::vector<CaptureWay>{CaptureWay::CopyMessage});

    // Empty answers go on to the next way; the keystroke is asked only when all else is empty.
    asked.clear();
    const CaptureOutcome keyed = RunCaptureWays({
        Way(CaptureWay::CopyMessage, asked, ""),
        Way(CaptureWay::Browser, asked, ""),
        Way(CaptureWay::UiAutomation, asked, ""),
        Way(CaptureWay::CopyKeystroke, asked, "Привет"),
    });
    EXPECT_EQ(keyed.way, CaptureWay::CopyKeystroke);
    EXPECT_EQ(keyed.text, "Привет");
    EXPECT_EQ(asked.size(), 4u);
    EXPECT_TRUE(keyed.failures.empty());
    EXPECT_STREQ(CaptureWayName(keyed.way), "keystroke");

    // Nothing anywhere: no way, no text, no failure.
    asked.clear();
    const CaptureOutcome nothing = RunCaptureWays({
        Way(CaptureWay::CopyMessage, asked, ""),
        Way(CaptureWay::CopyKeystroke, asked, ""),
    });
    EXPECT_EQ(nothing.way, CaptureWay::None);
    EXPECT_EQ(nothing.text, "");
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_EQ(RunCaptureWays({}).way, CaptureWay::None);
}

TEST(CaptureWays, AFailingWayFallsThroughAndTheLastWaysFailureIsTheError) {
    std::vector<CaptureWay> asked;
    const CaptureOutcome outcome = RunCaptureWays({
        Way(CaptureWay::CopyMessage, asked, ""),
        Way(CaptureWay::Browser, asked, "", "Document: not an HTML page"),
        Way(CaptureWay::UiAutomation, asked, "", "GetFocusedElement: time-out"),
        Way(CaptureWay::CopyKeystroke, asked, "Guten Tag"),
    });
    EXPECT_EQ(outcome.way, CaptureWay::CopyKeystroke);
    EXPECT_EQ(outcome.text, "Guten Tag");
    ASSERT_EQ(outcome.failures.size(), 2u);
    EXPECT_EQ(outcome.failures[0].way, CaptureWay::Browser);
    EXPECT_EQ(DescribeFailures(outcome), "browser: Document: not an HTML page\n"
                                         "UI Automation: GetFocusedElement: time-out\n");

    asked.clear();
    try {
        RunCaptureWays({
            Way(CaptureWay::UiAutomation, asked, "", "no focused element"),
            Way(CaptureWay::CopyKeystroke, asked, "", "Cannot open clipboard"),
        });
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Cannot open clipboard");
    }
    EXPECT_EQ(asked.size(), 2u);
}

TEST(CaptureWays, SelectedRangesJoinOneALineAndACaretAloneIsNothing) {
    EXPECT_EQ(JoinSelectedRanges({"Le chat"}), "Le chat");
    EXPECT_EQ(JoinSelectedRanges({"Le chat", "", "est noir"}), "Le chat\r\nest noir");
    EXPECT_EQ(JoinSelectedRanges({""}), "");
    EXPECT_EQ(JoinSelectedRanges({}), "");
}

} // namespace
