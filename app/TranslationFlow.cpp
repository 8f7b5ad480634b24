#include "app/TranslationFlow.h"

#include "app/BalloonPlacement.h"
#include "app/TextLayout.h"
#include "base/AppIdentity.h"
#include "protocol/WordsAnswer.h"
#include "translate/ReplaceWays.h"

#include <exception>

namespace tervane {

// What a translation holds from its start to its finish. Destroyed, it removes the hint
// and then undoes the capture (the input attachment, the user's clipboard put back unless
// the translation was copied there): members go in the reverse order of these lines.
struct TranslationFlow::Underway {
    unsigned number = 0;
    std::unique_ptr<Selection> selection;
    std::unique_ptr<WaitHintShower::Shown> hint;
    BalloonPoint cursor{};
    std::string sourceName, targetName;
    bool copyToClipboard = false;
    bool logToFile = false;
    HotKeyAction action = HotKeyAction::Translate;
};

TranslationFlow::TranslationFlow(FlowSeams seams) : seams_(seams) {}

TranslationFlow::~TranslationFlow() = default;

void TranslationFlow::Reached(FlowStage stage) const {
    if (onStage)
        onStage(stage);
}

void TranslationFlow::Abandon() {
    pending_.reset();
}

void TranslationFlow::Start(const Settings& settings, HotKeyAction action) {
    if (pending_)
        return;
    Reached(FlowStage::Started);
    const std::string sourceCode = LanguageCodeOrEmpty(settings.sourcePosition);
    const std::string targetCode = LanguageCodeOrEmpty(settings.targetPosition);
    if (sourceCode == targetCode)
        return;
    auto pending = std::make_unique<Underway>();
    pending->sourceName = LanguageNameAt(settings.sourcePosition);
    pending->targetName = LanguageNameAt(settings.targetPosition);
    if (pending->sourceName == pending->targetName)
        return;
    pending->copyToClipboard = settings.copyToClipboard;
    pending->logToFile = settings.logToFile;
    pending->action = action;

    pending->selection = seams_.selection.Capture();
    if (!pending->selection || pending->selection->Text().empty())
        return;
    Reached(FlowStage::Captured);

    pending->cursor = seams_.desktop.CursorPosition();
    if (settings.freeze)
        pending->hint = seams_.waitHint.Show(pending->cursor, kWaitHintText);
    seams_.exchange.ApplyProxy();

    const std::string text = pending->selection->Text();
    // A word alone is looked up in the dictionary as well; a replacement needs only the
    // translation.
    const ExchangeKind kind = action == HotKeyAction::Translate && protocol::IsSingleWord(text)
                                  ? ExchangeKind::Word
                                  : ExchangeKind::Translation;
    const unsigned number = pending->number = ++translations_;
    pending_ = std::move(pending);
    // Each answer finishes the translation it was asked for: one abandoned meanwhile is no
    // longer there to finish.
    const auto isPending = [this, number] { return pending_ && pending_->number == number; };
    try {
        seams_.exchange.Translate(text, sourceCode, targetCode, kind,
                                  [this, isPending](ExchangeAnswer answer) {
                                      if (isPending())
                                          Finish(std::move(pending_), std::move(answer));
                                  });
    } catch (...) {
        // An exchange that could not even start: nothing will answer.
        if (isPending())
            pending_.reset();
        throw;
    }
}

void TranslationFlow::Finish(std::unique_ptr<Underway> pending, ExchangeAnswer answer) {
    if (answer.error)
        std::rethrow_exception(answer.error);
    const std::string& translation = answer.translation;
    Reached(FlowStage::Translated);
    if (pending->action == HotKeyAction::Replace) {
        FinishReplace(std::move(pending), translation);
        return;
    }

    BalloonContent balloon = PlacedBalloon(pending->cursor);
    std::vector<std::string> lines = WrapWords(translation, kBalloonLineWidth);

    // Only a copy that happened replaces what the user had; a failed one leaves it to be
    // put back.
    if (pending->copyToClipboard && seams_.desktop.CopyToClipboard(translation))
        pending->selection->KeepClipboard();
    std::exception_ptr logError;
    RecordTranslation(*pending, translation, logError);
    balloon.text = JoinBalloonText(lines);
    balloon.dictionary = JoinBalloonText(DictionaryLines(answer.entries, kBalloonLineWidth));
    seams_.balloons.Show(balloon);
    Reached(FlowStage::Shown);
    pending->hint.reset();
    seams_.desktop.Pause(kFlowEndPauseMs);
    if (logError)
        std::rethrow_exception(logError);
}

BalloonContent TranslationFlow::PlacedBalloon(BalloonPoint cursor) {
    const BalloonPlacement place =
        PlaceBalloon(seams_.desktop.MonitorAt(cursor), cursor, position_);
    position_ = place.position;
    BalloonContent balloon;
    balloon.x = place.x;
    balloon.y = place.y;
    balloon.position = place.position;
    balloon.title = kApplicationTitle;
    balloon.duration = kBalloonSeconds;
    return balloon;
}

void TranslationFlow::RecordTranslation(const Underway& pending, const std::string& translation,
                                        std::exception_ptr& error) {
    if (!pending.logToFile)
        return;
    try {
        seams_.log.Record(pending.sourceName, pending.targetName, pending.selection->Text(),
                          translation);
    } catch (...) {
        error = std::current_exception();
    }
}

// The translation stays pending until the application has taken it: the capture (and with
// it the user's clipboard) is let go only then, and a press meanwhile is ignored. The
// application may take it before Replace returns.
void TranslationFlow::FinishReplace(std::unique_ptr<Underway> pending,
                                    const std::string& translation) {
    pending->hint.reset();
    std::exception_ptr logError;
    RecordTranslation(*pending, translation, logError);
    Selection& selection = *pending->selection;
    const unsigned number = pending->number;
    pending_ = std::move(pending);
    struct Call {
        bool returned = false;
        bool over = false;
        bool taken = false;
    };
    const auto call = std::make_shared<Call>();
    // A paste the application never took replaced nothing: the user is told, as the balloon
    // tells an error, rather than left to wonder.
    const auto release = [this, number, call] {
        if (!pending_ || pending_->number != number)
            return;
        const BalloonPoint cursor = pending_->cursor;
        pending_.reset();
        Reached(FlowStage::Replaced);
        if (call->taken)
            return;
        BalloonContent balloon = PlacedBalloon(cursor);
        balloon.type = BalloonType::Error;
        balloon.text = kPasteNotTakenText;
        seams_.balloons.Show(balloon);
    };
    try {
        selection.Replace(translation, [call, release](bool taken) {
            call->over = true;
            call->taken = taken;
            if (call->returned)
                release();
        });
    } catch (...) {
        if (pending_ && pending_->number == number)
            pending_.reset();
        throw;
    }
    call->returned = true;
    if (call->over)
        release();
    if (logError)
        std::rethrow_exception(logError);
}

} // namespace tervane
