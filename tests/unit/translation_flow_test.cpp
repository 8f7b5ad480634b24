// The translation flow over in-memory seams: every step writes to one journal, so a test
// reads what happened and in which order.
#include "app/TranslationFlow.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace tervane;

namespace {

using Journal = std::vector<std::string>;

class FakeSelection final : public Selection {
  public:
    FakeSelection(Journal& journal, std::string text) : journal_(journal), text_(std::move(text)) {}
    ~FakeSelection() override {
        journal_.push_back(kept_ ? "detach, clipboard kept" : "detach, clipboard back");
    }
    const std::string& Text() const override { return text_; }
    void KeepClipboard() override { kept_ = true; }

  private:
    Journal& journal_;
    std::string text_;
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

    std::unique_ptr<Selection> Capture() override {
        Step("capture");
        if (!attachable)
            return nullptr;
        return std::make_unique<FakeSelection>(journal, selected);
    }
    void ApplyProxy() override { Step("proxy"); }
    std::string Translate(std::string_view text, std::string_view source,
                          std::string_view target) override {
        Step("translate " + std::string(text) + " " + std::string(source) + ">" +
             std::string(target));
        return "The cat is black.";
    }
    void Show(const BalloonContent& balloon) override {
        Step("balloon");
        shown.push_back(balloon);
    }
    void Record(std::string_view sourceName, std::string_view targetName, std::string_view,
                std::string_view) override {
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
    bool CopyToClipboard(std::string_view) override {
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
            flow.Run(settings);
        } catch (const std::exception& error) {
            return error.what();
        }
        return {};
    }
};

TEST_F(TranslationFlowTest, StopsQuietlyWhenThereIsNothingToTranslate) {
    settings.sourcePosition = 6;  // Dutch
    settings.targetPosition = 15; // Dutch again
    flow.Run(settings);
    settings.sourcePosition = settings.targetPosition = -1; // no language at all
    flow.Run(settings);
    EXPECT_TRUE(desktop.journal.empty()) << "the same language: not even a capture";

    settings = Settings{};
    desktop.attachable = false;
    flow.Run(settings);
    EXPECT_EQ(desktop.journal, (Journal{"capture"})) << "nothing to attach to: nothing to undo";

    desktop.journal.clear();
    desktop.attachable = true;
    desktop.selected.clear();
    flow.Run(settings);
    EXPECT_EQ(desktop.journal, (Journal{"capture", "detach, clipboard back"}));
    EXPECT_TRUE(desktop.shown.empty());
}

TEST_F(TranslationFlowTest, TranslatesCopiesLogsAndShowsInOrder) {
    settings.copyToClipboard = settings.logToFile = true;
    std::vector<FlowStage> stages;
    flow.onStage = [&](FlowStage stage) { stages.push_back(stage); };
    flow.Run(settings);
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
    flow.Run(settings);
    EXPECT_EQ(desktop.journal.at(1), "proxy");
    EXPECT_EQ(desktop.shown.at(0).position, BalloonPosition::ArrowTopRight);

    desktop.cursor = {700, 500}; // by the centre: pointing there, the previous position
    flow.Run(settings);
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

} // namespace
