// The panels' rules over in-memory seams: a registrar that holds hotkeys as the system
// does (a second registration of one refused), recorded message boxes, a routes fetcher
// whose answers come back when the test says, and a desktop that records what the options
// changed. The stored settings go through the real store and PanelSettings.
#include "app/PanelSettings.h"
#include "hotkeys/HotKeyRules.h"
#include "tests/unit/FakeKeyboardLayout.h"
#include "tests/unit/FakeRegistry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

using namespace tervane;
using testing::ElementsAre;
using testing::IsEmpty;

namespace {

constexpr std::uint32_t kCtrlShiftF12 = kHotKeyCtrl | kHotKeyShift | 123;
constexpr std::uint32_t kCtrlAltF5 = kHotKeyCtrl | kHotKeyAlt | 116;

class FakeRegistrar final : public HotKeyRegistrar {
  public:
    std::set<std::uint32_t> held;
    std::set<std::uint32_t> takenElsewhere;
    bool refuseRelease = false;

    bool Add(std::uint32_t hotKey) override {
        return !takenElsewhere.count(hotKey) && held.insert(hotKey).second;
    }
    bool Remove(std::uint32_t hotKey) override {
        if (!held.erase(hotKey))
            return false;
        return !refuseRelease;
    }
    void Clear() override { held.clear(); }
};

class FakeMessages final : public PanelMessages {
  public:
    std::vector<std::string> shown; // "warning: ..." or "plain: ..."
    void ShowWarning(const std::string& text) override { shown.push_back("warning: " + text); }
    void ShowPlain(const std::string& text) override { shown.push_back("plain: " + text); }
};

class FakeFetcher final : public RoutesFetcher {
  public:
    std::vector<Done> asked;
    void Fetch(Done done) override { asked.push_back(std::move(done)); }
    void Answer(std::size_t question, std::optional<LanguageRoutes> routes) {
        asked.at(question)(std::move(routes));
    }
};

class FakeOptionsDesktop final : public OptionsDesktop {
  public:
    std::vector<std::string> done;
    bool logFails = false;
    void ApplyOpacity(std::optional<std::uint8_t> opacity) override {
        done.push_back(opacity ? "opacity " + std::to_string(*opacity) : "opaque");
    }
    void CreateLogWithBanner() override {
        done.push_back("log created");
        if (logFails)
            throw std::runtime_error("File access denied");
    }
};

LanguageRoutes FrenchToEnglishOnly() {
    LanguageRoutes routes;
    routes.targets["fr"] = {"en"};
    routes.targets["en"] = {"fr", "es"};
    return routes;
}

class PanelControllersTest : public testing::Test {
  protected:
    PanelControllersTest() {
        hotKeys.onChanged = [this] { ++hotKeyViewUpdates; };
        languages.onChanged = [this] { ++languageViewUpdates; };
    }

    FakeKeyboardLayout layout;
    HotKeyCodec codec{layout};
    FakeRegistrar registrar;
    FakeMessages messages;
    HotKeyListController hotKeys{
        codec, registrar, messages,
        [this](std::string_view a, std::string_view b) { return layout.EqualIgnoringCase(a, b); }};
    FakeFetcher fetcher;
    LanguageController languages{fetcher};
    FakeOptionsDesktop desktop;
    OptionsController options{desktop};
    PanelSettings settings{languages, options, hotKeys};
    FakeRegistry registry;
    int hotKeyViewUpdates = 0;
    int languageViewUpdates = 0;
};

TEST_F(PanelControllersTest, AddRegistersAndListsTheEntryAndRefusesEmptyTypingAndTakenKeys) {
    hotKeys.OnAdd();
    EXPECT_THAT(messages.shown, ElementsAre("warning: No hotkey specified."));

    hotKeys.SetEntry(kCtrlAltF5);
    EXPECT_EQ(hotKeys.EntryText(), "Ctrl+Alt+F5");
    hotKeys.OnAdd();
    EXPECT_THAT(hotKeys.LineTexts(), ElementsAre("Ctrl+Alt+F5"));
    EXPECT_EQ(hotKeys.Entry(), 0u) << "the entry is emptied";
    EXPECT_TRUE(registrar.held.count(kCtrlAltF5));

    // A bare letter, Space or Shift+digit would take a key from every program.
    for (const std::uint32_t typing : {std::uint32_t{'A'}, std::uint32_t{32}, kHotKeyShift | '7'}) {
        hotKeys.SetEntry(typing);
        hotKeys.OnAdd();
        EXPECT_EQ(hotKeys.Entry(), typing) << "kept, so that a modifier can be added";
    }
    EXPECT_EQ(messages.shown.at(1), "warning: " + TypingKeyWarning("A"));
    EXPECT_EQ(messages.shown.size(), 4u);
    EXPECT_EQ(registrar.held.size(), 1u);

    // Listed already, or held by another program: the system refuses, the entry stays.
    registrar.takenElsewhere.insert(kHotKeyCtrl | 'Q');
    for (const std::uint32_t refused : {kCtrlAltF5, kHotKeyCtrl | 'Q'}) {
        hotKeys.SetEntry(refused);
        hotKeys.OnAdd();
        EXPECT_EQ(hotKeys.Entry(), refused);
    }
    EXPECT_EQ(messages.shown.at(4), "warning: Ctrl+Alt+F5 couldn't be assigned to a hotkey.");
    EXPECT_EQ(messages.shown.at(5), "warning: Ctrl+Q couldn't be assigned to a hotkey.");
    EXPECT_THAT(hotKeys.LineTexts(), ElementsAre("Ctrl+Alt+F5"));

    // A function key alone types nothing: it is taken.
    hotKeys.SetEntry(120);
    hotKeys.OnAdd();
    EXPECT_THAT(hotKeys.LineTexts(), ElementsAre("Ctrl+Alt+F5", "F9"));
    EXPECT_GT(hotKeyViewUpdates, 0);
}

TEST_F(PanelControllersTest, RemoveNeedsASelectionAndKeepsALineTheSystemWouldNotRelease) {
    hotKeys.OnRemove(-1); // an empty list, nothing selected
    EXPECT_THAT(messages.shown, ElementsAre("plain: Please select an item"));

    hotKeys.AddHotKeyToList(kCtrlShiftF12);
    hotKeys.AddHotKeyToList(kHotKeyWin | 118); // with Win, as the store may hold one
    EXPECT_THAT(hotKeys.LineTexts(), ElementsAre("Ctrl+Shift+F12", "Win+F7"));
    hotKeys.OnRemove(1);
    EXPECT_THAT(hotKeys.LineTexts(), ElementsAre("Ctrl+Shift+F12"));
    EXPECT_FALSE(registrar.held.count(kHotKeyWin | 118));

    registrar.refuseRelease = true;
    hotKeys.OnRemove(0);
    hotKeys.OnRemove(0); // the registration is gone, the line stays and says so again
    EXPECT_THAT(messages.shown, ElementsAre("plain: Please select an item",
                                            "warning: Ctrl+Shift+F12 couldn't be removed.",
                                            "warning: Ctrl+Shift+F12 couldn't be removed."));
    EXPECT_THAT(hotKeys.LineTexts(), ElementsAre("Ctrl+Shift+F12"));

    hotKeys.SetEntry(kHotKeyCtrl | 'Q');
    hotKeys.OnClear(); // Clear all takes it away, and empties the entry
    EXPECT_THAT(hotKeys.Lines(), IsEmpty());
    EXPECT_EQ(hotKeys.Entry(), 0u);
    hotKeys.OnClear(); // again, on an empty list
    EXPECT_EQ(messages.shown.size(), 3u);
}

TEST_F(PanelControllersTest, StartUpListsTheDefaultFirstThenTheStoredOnesNotListedYet) {
    hotKeys.AddDefaultHotKey();
    FakeRegistry::Values& stored = registry.keys[kSettingsKeyPath];
    stored["Count"] = {RegistryType::Dword, {}, 6, {}};
    stored["Key0"] = {RegistryType::String, "ctrl+shift+f12", 0, {}}; // listed: ignoring case
    stored["Key1"] = {RegistryType::String, "Ctrl+Alt+F5", 0, {}};
    stored["Key2"] = {RegistryType::String, "", 0, {}};
    stored["Key3"] = {RegistryType::String, "Ctrl+Nowhere", 0, {}};
    stored["Key4"] = {RegistryType::String, "Space", 0, {}}; // a typing key
    stored["Key5"] = {RegistryType::String, "Ctrl+Q", 0, {}};
    registrar.takenElsewhere.insert(kHotKeyCtrl | 'Q');
    LoadSettings(registry, settings);
    EXPECT_THAT(hotKeys.LineTexts(), ElementsAre("Ctrl+Shift+F12", "Ctrl+Alt+F5"));
    EXPECT_THAT(messages.shown, ElementsAre("warning: Ctrl+Q couldn't be assigned to a hotkey."));

    // The stored form is the lines' texts in order.
    SaveSettings(registry, settings.Current());
    EXPECT_EQ(stored.at("Count").number, 2u);
    EXPECT_EQ(stored.at("Key1").text, "Ctrl+Alt+F5");

    // A keyboard on which the default's text is no hotkey: a warning, start-up goes on.
    FakeKeyboardLayout bare;
    bare.RemoveKey(FakeKeyboardLayout::UsEnglish, 123);

    HotKeyCodec bareCodec{bare};
    HotKeyListController other{bareCodec, registrar, messages, {}};
    other.AddDefaultHotKey();
    EXPECT_EQ(messages.shown.back(), "warning: Hotkeyerror!");
    EXPECT_THAT(other.Lines(), IsEmpty());
}

// Each line has an action: translate unless the user chose replace for the selected line;
// a press does what its line says; a desktop that cannot replace says so and the line stays
// as it was. The store keeps the actions through PanelSettings.
TEST_F(PanelControllersTest, TheSelectedLineTakesAnActionThatItsPressesFollow) {
    hotKeys.AddDefaultHotKey();
    hotKeys.AddHotKeyToList(kCtrlAltF5);
    EXPECT_EQ(hotKeys.ActionOf(kCtrlAltF5), HotKeyAction::Translate);

    hotKeys.OnSetAction(-1, HotKeyAction::Replace);
    EXPECT_THAT(messages.shown, ElementsAre("plain: Please select an item"));
    const int updates = hotKeyViewUpdates;
    hotKeys.OnSetAction(1, HotKeyAction::Replace);
    EXPECT_EQ(hotKeyViewUpdates, updates + 1);
    EXPECT_EQ(hotKeys.ActionOf(kCtrlAltF5), HotKeyAction::Replace);
    EXPECT_EQ(hotKeys.ActionOf(kCtrlShiftF12), HotKeyAction::Translate);
    EXPECT_EQ(hotKeys.Lines()[0].Label(), "Ctrl+Shift+F12");
    EXPECT_EQ(hotKeys.Lines()[1].Label(), "Ctrl+Alt+F5 (replace)");
    EXPECT_THAT(hotKeys.LineTexts(), ElementsAre("Ctrl+Shift+F12", "Ctrl+Alt+F5"));

    SaveSettings(registry, settings.Current());
    hotKeys.OnClear();
    hotKeys.AddDefaultHotKey();
    LoadSettings(registry, settings);
    EXPECT_EQ(hotKeys.ActionOf(kCtrlAltF5), HotKeyAction::Replace) << "kept by the store";

    hotKeys.SetReplaceUnavailable("Replace is not available on this desktop.");
    hotKeys.OnSetAction(0, HotKeyAction::Replace);
    EXPECT_EQ(messages.shown.back(), "warning: Replace is not available on this desktop.");
    EXPECT_EQ(hotKeys.ActionOf(kCtrlShiftF12), HotKeyAction::Translate);
    hotKeys.OnSetAction(1, HotKeyAction::Translate); // back to translate is always possible
    EXPECT_EQ(hotKeys.ActionOf(kCtrlAltF5), HotKeyAction::Translate);
}

TEST_F(PanelControllersTest, PickersFollowPositionsCodesAndTheSwap) {
    EXPECT_EQ(languages.SourceCode(), "FR");
    EXPECT_EQ(languages.TargetCode(), "EN");
    languages.SelectTarget(12);
    EXPECT_EQ(languages.TargetCode(), "ZH-TW");

    // A position outside the table: no selection, the code as it was.
    languages.SelectSource(77);
    EXPECT_EQ(languages.SourcePosition(), -1);
    EXPECT_EQ(languages.SourceCode(), "FR");

    languages.Swap(); // the picker without a selection swaps as such
    EXPECT_EQ(languages.SourcePosition(), 12);
    EXPECT_EQ(languages.TargetPosition(), -1);
    EXPECT_EQ(languages.SourceCode(), "ZH-TW");
    EXPECT_EQ(languages.TargetCode(), "FR");
    EXPECT_EQ(settings.Current().sourcePosition, 12);
    EXPECT_GE(languageViewUpdates, 3);
}

TEST_F(PanelControllersTest, UnreachedTargetsAreGreyedOnceTheLatestAnswerComes) {
    languages.Start();
    EXPECT_TRUE(languages.TargetReached(3)) << "no answer yet: every target as usual";
    fetcher.Answer(0, FrenchToEnglishOnly());
    EXPECT_TRUE(languages.TargetReached(0));  // English
    EXPECT_FALSE(languages.TargetReached(3)); // Spanish
    EXPECT_TRUE(languages.TargetReached(1));  // French reaches itself
    EXPECT_TRUE(languages.TargetReached(-1)); // no position: nothing to grey

    languages.SelectSource(0); // English: asked again, the known routes hold meanwhile
    EXPECT_EQ(fetcher.asked.size(), 2u);
    EXPECT_TRUE(languages.TargetReached(3));
    languages.SelectSource(1); // French again, asked a third time
    const int updates = languageViewUpdates;
    fetcher.Answer(1, std::nullopt); // the answer for English comes late: dropped
    EXPECT_EQ(languageViewUpdates, updates);
    EXPECT_FALSE(languages.TargetReached(3));
    fetcher.Answer(2, std::nullopt); // the service went away: every target as usual
    EXPECT_TRUE(languages.TargetReached(3));
    EXPECT_FALSE(languages.RoutesKnown());
}

TEST_F(PanelControllersTest, SliderAndOptionsChangeOnlyOnANewStateAndLoggingOnCreatesTheLog) {
    options.MoveSlider(8);
    options.MoveSlider(8);
    options.MoveSlider(2);  // kept inside the range: 4
    options.MoveSlider(99); // 16: opaque, not 16 times 16
    EXPECT_THAT(desktop.done, ElementsAre("opacity 128", "opacity 64", "opaque"));
    EXPECT_EQ(options.SliderPosition(), 16);

    desktop.done.clear();
    options.SetOption(Option::LogToFile, true);
    options.SetOption(Option::LogToFile, true); // no new state: nothing
    options.SetOption(Option::LogToFile, false);
    options.SetOption(Option::CopyToClipboard, true);
    EXPECT_THAT(desktop.done, ElementsAre("log created"));
    EXPECT_TRUE(options.IsOn(Option::Freeze));
    EXPECT_TRUE(options.IsOn(Option::CopyToClipboard));

    desktop.logFails = true;
    EXPECT_THROW(options.SetOption(Option::LogToFile, true), std::runtime_error);
    EXPECT_TRUE(options.IsOn(Option::LogToFile)) << "the box stays checked";
    const Settings now = settings.Current();
    EXPECT_EQ(now.sliderPosition, 16);
    EXPECT_TRUE(now.logToFile && now.copyToClipboard && now.freeze);
}

} // namespace
