#pragma once
// The main job: a hotkey press translates the text selected in the application in front
// and shows the translation in a balloon by the cursor. Portable; a front end gives it
// its desktop through FlowSeams and runs it once per press.
#include "app/FlowSeams.h"
#include "app/Settings.h"

#include <functional>

namespace tervane {

// The points of a translation that a benchmark may watch (onStage).
enum class FlowStage { Started, Captured, Translated, Shown };

inline constexpr const char* kWaitHintText = "Translating, please wait ...";
inline constexpr std::size_t kBalloonLineWidth = 60;
inline constexpr int kBalloonSeconds = 200;
inline constexpr int kFlowEndPauseMs = 200;

class TranslationFlow {
  public:
    explicit TranslationFlow(FlowSeams seams) : seams_(seams) {}

    // One press, with the languages and options of `settings`. Stops quietly when the two
    // languages are the same, when there is nothing to ask or nothing selected. Throws the
    // first error of a step; the wait hint is gone and the capture undone by then. A
    // translation that could not be logged is still shown, and the log's error thrown after.
    void Run(const Settings& settings);

    // Where the last balloon pointed from; a balloon at the screen's centre keeps it.
    BalloonPosition Position() const { return position_; }

    std::function<void(FlowStage)> onStage;

  private:
    void Reached(FlowStage stage) const;

    FlowSeams seams_;
    BalloonPosition position_ = BalloonPosition::ArrowTopLeft;
};

} // namespace tervane
