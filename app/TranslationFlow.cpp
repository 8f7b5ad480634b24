#include "app/TranslationFlow.h"

#include "app/BalloonPlacement.h"
#include "app/TextLayout.h"
#include "base/AppIdentity.h"

#include <exception>

namespace tervane {

void TranslationFlow::Reached(FlowStage stage) const {
    if (onStage)
        onStage(stage);
}

void TranslationFlow::Run(const Settings& settings) {
    Reached(FlowStage::Started);
    const bool freeze = settings.freeze;
    const std::string sourceCode = LanguageCodeOrEmpty(settings.sourcePosition);
    const std::string targetCode = LanguageCodeOrEmpty(settings.targetPosition);
    if (sourceCode == targetCode)
        return;
    const std::string sourceName = LanguageNameAt(settings.sourcePosition);
    const std::string targetName = LanguageNameAt(settings.targetPosition);
    if (sourceName == targetName)
        return;

    // Undoes the capture (and puts the user's clipboard back) when it goes out of scope.
    const std::unique_ptr<Selection> selection = seams_.selection.Capture();
    if (!selection || selection->Text().empty())
        return;
    Reached(FlowStage::Captured);

    const BalloonPoint cursor = seams_.desktop.CursorPosition();
    std::unique_ptr<WaitHintShower::Shown> hint;
    if (freeze)
        hint = seams_.waitHint.Show(cursor, kWaitHintText);

    seams_.exchange.ApplyProxy();
    const std::string translation =
        seams_.exchange.Translate(selection->Text(), sourceCode, targetCode);
    Reached(FlowStage::Translated);

    const BalloonPlacement place =
        PlaceBalloon(seams_.desktop.MonitorAt(cursor), cursor, position_);
    position_ = place.position;
    BalloonContent balloon;
    balloon.x = place.x;
    balloon.y = place.y;
    balloon.position = place.position;
    balloon.title = kApplicationTitle;
    balloon.duration = kBalloonSeconds;
    std::vector<std::string> lines = WrapWords(translation, kBalloonLineWidth);

    // Only a copy that happened replaces what the user had; a failed one leaves it to be
    // put back.
    if (settings.copyToClipboard && seams_.desktop.CopyToClipboard(translation))
        selection->KeepClipboard();
    std::exception_ptr logError;
    if (settings.logToFile) {
        try {
            seams_.log.Record(sourceName, targetName, selection->Text(), translation);
        } catch (...) {
            logError = std::current_exception();
        }
    }
    balloon.text = JoinBalloonText(lines);
    seams_.balloons.Show(balloon);
    Reached(FlowStage::Shown);
    hint.reset();
    seams_.desktop.Pause(kFlowEndPauseMs);
    if (logError)
        std::rethrow_exception(logError);
}

} // namespace tervane
