// The translation flow over in-memory seams: every step writes to one journal, so a test
// reads what happened and in which order.
#include "app/TranslationFlow.h"
#include "translate/ReplaceWays.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace tervane;

namespace {

using Journal = std::vector<std::string>;

// How the application in front takes a replacement: at once (an edit control), later (a
// paste it serves on the main loop), or not at all (read-only).
enum class Taking { AtOnce, Later, Refused };

class FakeSelection final : public Selection {
  public:
    FakeSelection(Journal& journal, std::string text, Taking taking,
                  std::function<void(bool)>& takeLater)
        : journal_(journal), text_(std::move(text)), taking_(taking), takeLater_(takeLater) {}
    ~FakeSelection() override {
        journal_.push_back(kept_ ? "detach, clipboard kept" : "detach, clipboard back");
    }
    const std::string& Text() const override { return text_; }
    void KeepClipboard() override { kept_ = true; }
    void Replace(const std::string& text, std::function<void(bool)> over) override {
        journal_.push_back("replace with " + text);
        if (taking_ == Taking::Refused)
            throw std::runtime_error("read-only");
        if (taking_ == Taking::AtOnce)
            over(true);
        else
            takeLater_ = std::move(over);
    }

  private:
    Journal& journal_;
    std::string text_;
    Taking taking_;
    std::function<void(bool)>& takeLater_;
    bool kept_ = false;
};

// Every seam at once, each step logged; `fail` names a step that throws.
class FakeDesktop final : public SelectionSource,
                          public TranslationExchange,
                          public BalloonPresenter,
                          public TranslationRecorder,
                          public WaitHintShower,
                          public FlowDesktop {
  public:
    Journal journal;
    std::string selected = "Le chat est noir.";
    bool attachable = true;
    std::string fail;
    bool copyWorks = true;
    BalloonPoint cursor{100, 100};
    std::vector<BalloonContent> shown;
    bool holdAnswers = false;
    std::vector<Done> held;
    Taking taking = Taking::AtOnce;
    std::function<void(bool)> takeLater;
    std::string copied, logged;

    std::unique_ptr<Selection> Capture() override {
        Step("capture");
        if (!attachable)
            return nullptr;
        return std::make_unique<FakeSelection>(journal, selected, taking, takeLater);
    }
    void ApplyProxy() override { Step("proxy"); }
    // Answers at once unless `holdAnswers`; then the answer waits in `held` for Answer().
    // A word is answered with `wordAnswer`'s translation and entries.
    void Translate(std::string text, std::string source, std::string target, ExchangeKind kind,
                   Done done) override {
        const bool word = kind == ExchangeKind::Word;
        Step((word ? "word " : "translate ") + text + " " + source + ">" + target);
        held.push_back(std::move(done));
        if (!holdAnswers)
            Answer(word ? wordAnswer : ExchangeAnswer{"The cat is black.", nullptr});
    }
    ExchangeAnswer wordAnswer{"bank", nullptr, {{"n", {"bank", "bench"}}, {"", {"shoal"}}}};
    void Answer(ExchangeAnswer answer) {
        Done done = std::move(held.front());
        held.erase(held.begin());
        done(std::move(answer));
    }
    void Show(const BalloonContent& balloon) override {
        Step("balloon");
        shown.push_back(balloon);
    }
    void Record(std::string_view sourceName, std::string_view targetName, std::string_view,
                std::string_view translation) override {
        logged = translation;
        Step("log " + std::string(sourceName) + ">" + std::string(targetName));
    }
    std::unique_ptr<Shown> Show(BalloonPoint at, std::string_view text) override {
        Step("hint " + std::to_string(at.x) + "," + std::to_string(at.y) + " " + std::string(text));
        struct Hint final : Shown {
            Journal& journal;
            explicit Hint(Journal& j) : journal(j) {}
            ~Hint() override { journal.push_back("hint gone"); }
        };
        return std::make_unique<Hint>(journal);
    }
    BalloonPoint CursorPosition() override { return cursor; }
    BalloonRect MonitorAt(BalloonPoint) override { return {0, 0, 1280, 1024}; }
    bool CopyToClipboard(std::string_view text) override {
        copied = text;
        Step("copy");
        return copyWorks;
    }
    void Pause(int milliseconds) override { Step("pause " + std::to_string(milliseconds)); }

    FlowSeams Seams() { return {*this, *this, *this, *this, *this, *this}; }

  private:
    void Step(const std::string& step) {
        journal.push_back(step);
        if (!fail.empty() && step.rfind(fail, 0) == 0)
            throw std::runtime_error(fail + " failed");
    }
};

class TranslationFlowTest : public ::testing::Test {
  protected:
    FakeDesktop desktop;
    TranslationFlow flow{desktop.Seams()};
    Settings settings; // French to English, freeze on

    std::string RunAndReportError() {
        try {
            flow.Start(settings);
        } catch (const std::exception& error) {
            return error.what();
        }
        return {};
    }
};

TEST_F(TranslationFlowTest, StopsQuietlyWhenThereIsNothingToTranslate) {
    settings.sourcePosition = 6;  // Dutch
    settings.targetPosition = 15; // Dutch again
    flow.Start(settings);
    settings.sourcePosition = settings.targetPosition = -1; // no language at all
    flow.Start(settings);
    EXPECT_TRUE(desktop.journal.empty()) << "the same language: not even a capture";

    settings = Settings{};
    desktop.attachable = false;
    flow.Start(settings);
    EXPECT_EQ(desktop.journal, (Journal{"capture"})) << "nothing to attach to: nothing to undo";

    desktop.journal.clear();
    desktop.attachable = true;
    desktop.selected.clear();
    flow.Start(settings);
    EXPECT_EQ(desktop.journal, (Journal{"capture", "detach, clipboard back"}));
    EXPECT_TRUE(desktop.shown.empty());
}

TEST_F(TranslationFlowTest, TranslatesCopiesLogsAndShowsInOrder) {
    settings.copyToClipboard = settings.logToFile = true;
    std::vector<FlowStage> stages;
    flow.onStage = [&](FlowStage stage) { stages.push_back(stage); };
    flow.Start(settings);
    EXPECT_EQ(desktop.journal,
              (Journal{"capture", "hint 100,100 Translating, please wait ...", "proxy",
                       "translate Le chat est noir. FR>EN", "copy", "log French>English", "balloon",
                       "hint gone", "pause 200", "detach, clipboard kept"}));
    EXPECT_EQ(stages, (std::vector<FlowStage>{FlowStage::Started, FlowStage::Captured,
                                              FlowStage::Translated, FlowStage::Shown}));
    ASSERT_EQ(desktop.shown.size(), 1u);
    const BalloonContent& balloon = desktop.shown[0];
    EXPECT_EQ(balloon.title, "Tervane");
    EXPECT_EQ(balloon.text, "The cat is black.");
    EXPECT_EQ(balloon.duration, 200);
    EXPECT_EQ(balloon.type, BalloonType::Info);
    // Far up and left of the centre: pointing at the cursor, the body towards the centre.
    EXPECT_EQ(balloon.x, 100);
    EXPECT_EQ(balloon.position, BalloonPosition::ArrowTopRight);
}

TEST_F(TranslationFlowTest,
       FreezeOffShowsNoHintButStillPlacesByTheCursorAndTheCentreKeepsThePosition) {
    settings.freeze = false;
    flow.Start(settings);
    EXPECT_EQ(desktop.journal.at(1), "proxy");
    EXPECT_EQ(desktop.shown.at(0).position, BalloonPosition::ArrowTopRight);

    desktop.cursor = {700, 500}; // by the centre: pointing there, the previous position
    flow.Start(settings);
    EXPECT_EQ(desktop.shown.at(1).x, 640);
    EXPECT_EQ(desktop.shown.at(1).y, 512);
    EXPECT_EQ(desktop.shown.at(1).position, BalloonPosition::ArrowTopRight);
}

TEST_F(TranslationFlowTest, AnErrorOfAnyStepIsReportedWithTheHintGoneAndTheCaptureUndoneOnce) {
    for (const std::string step : {"capture", "proxy", "translate", "balloon"}) {
        desktop.journal.clear();
        desktop.fail = step;
        EXPECT_EQ(RunAndReportError(), step + " failed");
        const auto count = [&](const std::string& entry) {
            return std::count(desktop.journal.begin(), desktop.journal.end(), entry);
        };
        EXPECT_EQ(count("detach, clipboard back"), step == "capture" ? 0 : 1) << step;
        EXPECT_EQ(count("hint gone"), step == "capture" ? 0 : 1) << step;
    }
    EXPECT_TRUE(desktop.shown.empty());
}

TEST_F(TranslationFlowTest, AFailedCopyPutsTheClipboardBackAndAFailedLogStillShowsTheBalloon) {
    settings.copyToClipboard = settings.logToFile = true;
    desktop.copyWorks = false;
    desktop.fail = "log";
    EXPECT_EQ(RunAndReportError(), "log failed");
    EXPECT_EQ(desktop.shown.size(), 1u);
    EXPECT_EQ(desktop.journal.back(), "detach, clipboard back");
    EXPECT_EQ(desktop.journal.at(desktop.journal.size() - 3), "hint gone");
}

// A word alone is asked as a word: its entries under the translation, one a line, while the
// clipboard and the log keep the translation alone; a text, or a word being replaced, is
// asked as a translation.
TEST_F(TranslationFlowTest, AWordAloneShowsTheDictionaryUnderItsTranslation) {
    settings.copyToClipboard = settings.logToFile = true;
    desktop.selected = " banque\r\n";
    flow.Start(settings);
    EXPECT_EQ(desktop.journal.at(3), "word  banque\r\n FR>EN");
    ASSERT_EQ(desktop.shown.size(), 1u);
    EXPECT_EQ(desktop.shown[0].text, "bank");
    EXPECT_EQ(desktop.shown[0].dictionary, "bank (n), bench (n)\r\nshoal");
    EXPECT_EQ(BalloonWindowText(desktop.shown[0]), "bank\r\n\r\nbank (n), bench (n)\r\nshoal");
    EXPECT_EQ(desktop.copied, "bank");
    EXPECT_EQ(desktop.logged, "bank");

    desktop.journal.clear();
    flow.Start(settings, HotKeyAction::Replace);
    EXPECT_EQ(desktop.journal.at(3), "translate  banque\r\n FR>EN");

    desktop.journal.clear();
    desktop.selected = "la banque";
    flow.Start(settings);
    EXPECT_EQ(desktop.journal.at(3), "translate la banque FR>EN");
    EXPECT_EQ(desktop.shown.back().dictionary, "");
}

} // namespace

namespace {

// The exchange as it runs on a desktop: the answer comes back later, after the UI went on.
class AsyncFlowTest : public TranslationFlowTest {
  protected:
    void SetUp() override {
        desktop.holdAnswers = true;
        settings.copyToClipboard = true;
    }
    std::string AnswerAndReportError(ExchangeAnswer answer) {
        try {
            desktop.Answer(std::move(answer));
        } catch (const std::exception& error) {
            return error.what();
        }
        return {};
    }
};

TEST_F(AsyncFlowTest, StartAsksAndTheAnswerFinishesWithTheClipboardGivenBackAtTheEnd) {
    flow.Start(settings);
    EXPECT_TRUE(flow.Pending());
    EXPECT_EQ(desktop.journal, (Journal{"capture", "hint 100,100 Translating, please wait ...",
                                        "proxy", "translate Le chat est noir. FR>EN"}))
        << "the capture and the hint stay while the service is asked";

    desktop.copyWorks = false; // the user's clipboard is put back at the finish, not before
    desktop.Answer({"The cat is black.", nullptr});
    EXPECT_FALSE(flow.Pending());
    EXPECT_EQ(desktop.journal,
              (Journal{"capture", "hint 100,100 Translating, please wait ...", "proxy",
                       "translate Le chat est noir. FR>EN", "copy", "balloon", "hint gone",
                       "pause 200", "detach, clipboard back"}));
    EXPECT_EQ(desktop.shown.at(0).text, "The cat is black.");
}

TEST_F(AsyncFlowTest, APressWhileOneIsPendingIsIgnoredAndTheNextPressTranslatesAgain) {
    flow.Start(settings);
    desktop.selected = "Le chien";
    flow.Start(settings); // pressed again while the service thinks
    EXPECT_EQ(std::count(desktop.journal.begin(), desktop.journal.end(), "capture"), 1)
        << "no second capture";
    EXPECT_EQ(desktop.held.size(), 1u) << "no second request";
    desktop.Answer({"The cat is black.", nullptr});
    EXPECT_EQ(desktop.shown.size(), 1u);

    flow.Start(settings);
    EXPECT_EQ(desktop.journal.back(), "translate Le chien FR>EN");
}

TEST_F(AsyncFlowTest, AnExchangeErrorComesAfterTheStartWithTheHintGoneAndTheCaptureUndone) {
    flow.Start(settings);
    EXPECT_EQ(
        AnswerAndReportError(
            {{}, std::make_exception_ptr(std::runtime_error("HTTP/1.1 422 No translation route"))}),
        "HTTP/1.1 422 No translation route");
    EXPECT_FALSE(flow.Pending());
    EXPECT_TRUE(desktop.shown.empty());
    EXPECT_EQ(desktop.journal.at(desktop.journal.size() - 2), "hint gone");
    EXPECT_EQ(desktop.journal.back(), "detach, clipboard back");

    // An error after the answer (the log) still shows the balloon first.
    settings.logToFile = true;
    desktop.fail = "log";
    flow.Start(settings);
    EXPECT_EQ(AnswerAndReportError({"The cat is black.", nullptr}), "log failed");
    EXPECT_EQ(desktop.shown.size(), 1u);
    EXPECT_EQ(desktop.journal.back(), "detach, clipboard kept");
    EXPECT_FALSE(flow.Pending());
}

// Replace: no balloon and no copy; the capture (with the user's clipboard) is let go once
// the application has taken the text, at once or later; a press meanwhile is ignored. A
// refusal or a failed translation replaces nothing and gives the clipboard back.
TEST_F(AsyncFlowTest, AReplacementHoldsTheCaptureUntilTakenAndAnyFailureGivesTheClipboardBack) {
    settings.logToFile = true;
    std::vector<FlowStage> stages;
    flow.onStage = [&](FlowStage stage) { stages.push_back(stage); };
    flow.Start(settings, HotKeyAction::Replace);
    desktop.Answer({"The cat is black.", nullptr});
    EXPECT_EQ(desktop.journal,
              (Journal{"capture", "hint 100,100 Translating, please wait ...", "proxy",
                       "translate Le chat est noir. FR>EN", "hint gone", "log French>English",
                       "replace with The cat is black.", "detach, clipboard back"}));
    EXPECT_EQ(stages.back(), FlowStage::Replaced);
    EXPECT_FALSE(flow.Pending());

    desktop.journal.clear();
    desktop.taking = Taking::Later;
    flow.Start(settings, HotKeyAction::Replace);
    desktop.Answer({"The cat is black.", nullptr});
    EXPECT_TRUE(flow.Pending()) << "the paste is not served yet";
    flow.Start(settings, HotKeyAction::Replace);
    EXPECT_EQ(std::count(desktop.journal.begin(), desktop.journal.end(), "capture"), 1);
    EXPECT_EQ(desktop.journal.back(), "replace with The cat is black.");
    desktop.takeLater(true);
    EXPECT_EQ(desktop.journal.back(), "detach, clipboard back");
    EXPECT_FALSE(flow.Pending());
    EXPECT_TRUE(desktop.shown.empty()) << "a replacement shows no balloon";

    // A paste the application never took: the clipboard back, and the user told.
    flow.Start(settings, HotKeyAction::Replace);
    desktop.Answer({"The cat is black.", nullptr});
    desktop.takeLater(false);
    EXPECT_EQ(desktop.journal.end()[-2], "detach, clipboard back");
    EXPECT_EQ(desktop.journal.back(), "balloon");
    EXPECT_FALSE(flow.Pending());
    ASSERT_EQ(desktop.shown.size(), 1u);
    EXPECT_EQ(desktop.shown[0].type, BalloonType::Error);
    EXPECT_EQ(desktop.shown[0].text, kPasteNotTakenText);
    desktop.shown.clear();

    desktop.taking = Taking::Refused;
    flow.Start(settings, HotKeyAction::Replace);
    EXPECT_EQ(AnswerAndReportError({"The cat is black.", nullptr}), "read-only");
    EXPECT_EQ(desktop.journal.back(), "detach, clipboard back");
    EXPECT_FALSE(flow.Pending());

    desktop.journal.clear();
    flow.Start(settings, HotKeyAction::Replace);
    EXPECT_EQ(AnswerAndReportError(
                  {{}, std::make_exception_ptr(std::runtime_error("The service failed"))}),
              "The service failed");
    EXPECT_EQ(desktop.journal.back(), "detach, clipboard back");
    EXPECT_EQ(std::count_if(desktop.journal.begin(), desktop.journal.end(),
                            [](const std::string& step) { return step.rfind("replace", 0) == 0; }),
              0);
    EXPECT_TRUE(desktop.shown.empty()) << "a replacement shows no balloon";
}

TEST_F(AsyncFlowTest, AnAbandonedTranslationIsUndoneAndItsLateAnswerDropped) {
    flow.Start(settings);
    flow.Abandon(); // the program ends while the service thinks
    EXPECT_FALSE(flow.Pending());
    EXPECT_EQ(desktop.journal.at(desktop.journal.size() - 2), "hint gone");
    EXPECT_EQ(desktop.journal.back(), "detach, clipboard back");

    flow.Start(settings); // a new press, then the first answer arrives late
    desktop.Answer({"late", nullptr});
    EXPECT_TRUE(desktop.shown.empty());
    EXPECT_TRUE(flow.Pending()) << "the late answer does not finish the new translation";
    desktop.Answer({"The cat is black.", nullptr});
    EXPECT_EQ(desktop.shown.at(0).text, "The cat is black.");
}

} // namespace
