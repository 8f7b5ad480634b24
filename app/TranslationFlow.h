#pragma once
// The main job: a hotkey press translates the text selected in the application in front
// and shows the translation in a balloon by the cursor. Portable; a front end gives it
// its desktop through FlowSeams and starts it once per press. The exchange runs without
// the user interface waiting: Start captures, shows the wait hint and asks; the finish
// (placement, copy, log, balloon, the hint gone, the capture undone) runs when the answer
// comes back on the UI thread.
#include "app/FlowSeams.h"
#include "app/Settings.h"

#include <functional>
#include <memory>

namespace tervane {

// The points of a translation that a benchmark may watch (onStage): a translation ends
// Shown (its balloon), a replacement Replaced (the application took the text).
enum class FlowStage { Started, Captured, Translated, Shown, Replaced };

inline constexpr const char* kWaitHintText = "Translating, please wait ...";
inline constexpr std::size_t kBalloonLineWidth = 60;
inline constexpr int kBalloonSeconds = 200;
inline constexpr int kFlowEndPauseMs = 200;

class TranslationFlow {
  public:
    explicit TranslationFlow(FlowSeams seams);
    // A translation still pending is abandoned: its capture undone, its hint gone.
    ~TranslationFlow();
    TranslationFlow(const TranslationFlow&) = delete;
    TranslationFlow& operator=(const TranslationFlow&) = delete;

    // One press, with the languages and options of `settings`, doing what the hotkey's line
    // says: the translation shown in a balloon, or put in place of the selection (no
    // balloon, no copy: the user's clipboard comes back as it was; logged when logging is
    // on; a paste the application never took shows an error balloon, kPasteNotTakenText). A press
    // while a translation is pending (or being put in place) is ignored: no second capture, the
    // first one goes on. Stops quietly when the two languages are the same, when there is nothing
    // to ask or nothing selected. Throws the error of a step before the request (capture, proxy)
    // with the hint gone and the capture undone. Otherwise the exchange is started; when it
    // answers, the finish runs inside the exchange's `done` and throws the exchange's error, or a
    // log that could not be written (after the balloon is shown), for the front end's error report.
    void Start(const Settings& settings, HotKeyAction action = HotKeyAction::Translate);

    // Whether a translation waits for the service's answer, or for the application to take
    // it in place of the selection.
    bool Pending() const { return pending_ != nullptr; }
    // Lets go of a pending translation (the program ends): its capture undone, its hint
    // gone; its answer, should it come, is dropped.
    void Abandon();

    // Where the last balloon pointed from; a balloon at the screen's centre keeps it.
    BalloonPosition Position() const { return position_; }

    std::function<void(FlowStage)> onStage;

  private:
    struct Underway;
    void Reached(FlowStage stage) const;
    void Finish(std::unique_ptr<Underway> pending, ExchangeAnswer answer);
    void FinishReplace(std::unique_ptr<Underway> pending, const std::string& translation);
    // A balloon titled "Tervane" pointing from `cursor`, for its time.
    BalloonContent PlacedBalloon(BalloonPoint cursor);
    void RecordTranslation(const Underway& pending, const std::string& translation,
                           std::exception_ptr& error);

    FlowSeams seams_;
    BalloonPosition position_ = BalloonPosition::ArrowTopLeft;
    std::unique_ptr<Underway> pending_;
    unsigned translations_ = 0; // started so far; numbers each pending one
};

} // namespace tervane
