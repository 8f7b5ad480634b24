// The settings store's load and save rules, over an in-memory registry and a window double
// whose controls run their handlers only when their state changes, as the real ones do.
#include "app/HotKeyListController.h"
#include "app/SettingsStore.h"
#include "tests/unit/FakeKeyboardLayout.h"
#include "tests/unit/FakeRegistry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <stdexcept>

using namespace tervane;

namespace {

using testing::ElementsAre;
using testing::IsEmpty;

// The main window as the store sees it, in its state right after the default hotkey was
// listed and the language codes set. `handled` records each handler that ran.
class FakeForm final : public SettingsView {
  public:
    explicit FakeForm(const HotKeyCodec& codec) : codec_(codec) {}

    int source = 1, target = 0, slider = 16;
    std::array<bool, 3> checked{true, false, false};
    std::vector<std::string> lines{"Ctrl+Shift+F12"};
    std::vector<HotKeyAction> actions{HotKeyAction::Translate};
    std::vector<std::string> handled;

    Settings Current() override {
        Settings now;
        now.sourcePosition = source;
        now.targetPosition = target;
        now.sliderPosition = slider;
        for (const Option option : {Option::Freeze, Option::CopyToClipboard, Option::LogToFile})
            now.Set(option, checked[static_cast<int>(option)]);
        for (std::size_t i = 0; i < lines.size(); ++i)
            now.hotKeys.push_back({lines[i], actions[i]});
        return now;
    }
    void SelectSource(std::int32_t p) override { source = Select(p, "src "); }
    void SelectTarget(std::int32_t p) override { target = Select(p, "trg "); }
    void MoveSlider(int position) override {
        if (position != slider)
            handled.push_back("tr " + std::to_string(position));
        slider = position;
    }
    void SetChecked(Option option, bool on) override {
        bool& box = checked[static_cast<int>(option)];
        if (box != on)
            handled.push_back("click " + std::to_string(static_cast<int>(option)));
        box = on;
    }
    void AddStoredHotKey(const std::string& text, HotKeyAction action) override {
        const auto same = [this](std::string_view a, std::string_view b) {
            return layout_.EqualIgnoringCase(a, b);
        };
        if (const std::uint32_t hotKey = StoredHotKeyToAdd(codec_, lines, text, same)) {
            lines.push_back(codec_.ToText(hotKey, true));
            actions.push_back(action);
        }
    }

  private:
    int Select(std::int32_t position, const std::string& name) {
        handled.push_back(name + std::to_string(position));
        return position >= 0 && position < 54 ? position : -1;
    }
    const HotKeyCodec& codec_;
    FakeKeyboardLayout layout_;
};

class SettingsStoreTest : public testing::Test {
  protected:
    FakeRegistry::Values& Stored() { return registry.keys[kSettingsKeyPath]; }
    void Store(const std::string& name, RegistryValue value) { Stored()[name] = std::move(value); }
    void Load() { LoadSettings(registry, form); }
    void Save() { SaveSettings(registry, form.Current()); }
    std::uint32_t Number(const std::string& name) { return Stored().at(name).number; }
    std::string Text(const std::string& name) { return Stored().at(name).text; }

    FakeKeyboardLayout layout;
    HotKeyCodec codec{layout};
    FakeRegistry registry;
    FakeForm form{codec};
};

TEST_F(SettingsStoreTest, FirstStartChangesNothingAndTheCloseCreatesTheKeyWithEveryValue) {
    Load();
    EXPECT_THAT(form.handled, IsEmpty());
    EXPECT_TRUE(registry.keys.empty()) << "the key is created only at close";

    Save();
    const FakeRegistry::Values& stored = Stored();
    EXPECT_EQ(stored.at("src").type, RegistryType::Dword);
    EXPECT_EQ(Number("src"), 1u);
    EXPECT_EQ(Number("trg"), 0u);
    EXPECT_EQ(stored.at("cc").type, RegistryType::String);
    EXPECT_EQ(Text("cc"), "100");
    EXPECT_EQ(Number("tr"), 16u);
    EXPECT_EQ(Number("Count"), 1u);
    EXPECT_EQ(Text("Key0"), "Ctrl+Shift+F12");
    EXPECT_EQ(Text("Action0"), "translate");
    EXPECT_EQ(stored.size(), 7u);
    EXPECT_EQ(registry.openKeys, 0);

    // The user removed the default hotkey: nothing of it is stored.
    form.lines.clear();
    form.actions.clear();
    Save();
    EXPECT_EQ(Number("Count"), 0u);
}

TEST_F(SettingsStoreTest, SliderPositionIsClampedAndMovesOnlyWhenItChanges) {
    Store("tr", FakeRegistry::Dword(2));
    Load();
    EXPECT_EQ(form.slider, 4);
    Store("tr", FakeRegistry::Dword(99));
    Load();
    EXPECT_EQ(form.slider, 16);
    Load(); // 99 again: already at 16
    EXPECT_THAT(form.handled, ElementsAre("tr 4", "tr 16"));
}

TEST_F(SettingsStoreTest, OptionsNeedThreeCharactersAndOnlyAOneChecks) {
    Store("cc", FakeRegistry::Text("10"));
    Load();
    EXPECT_EQ(form.checked, (std::array{true, false, false}));

    Store("cc", FakeRegistry::Text("0110"));
    Load();
    EXPECT_EQ(form.checked, (std::array{false, true, true}));
    EXPECT_THAT(form.handled, ElementsAre("click 0", "click 1", "click 2"));

    // Characters, not bytes: "é" is one character and not a "1".
    Store("cc", FakeRegistry::Text("\xC3\xA9"
                                   "1x"));
    Load();
    EXPECT_EQ(form.checked, (std::array{false, true, false}));
}

TEST_F(SettingsStoreTest, OnlyACountFromOneToNineLoadsThatManyKeys) {
    const char* keys[] = {"Ctrl+A", "Ctrl+B", "Ctrl+C", "Ctrl+D", "Ctrl+E"};
    for (int i = 0; i < 5; ++i)
        Store("Key" + std::to_string(i), FakeRegistry::Text(keys[i]));
    for (std::uint32_t count : {0u, 0xFFFFFFFFu, 10u}) {
        Store("Count", FakeRegistry::Dword(count));
        Load();
        EXPECT_THAT(form.lines, ElementsAre("Ctrl+Shift+F12")) << "Count " << count;
    }
    Store("Count", FakeRegistry::Dword(2));
    Load();
    EXPECT_THAT(form.lines, ElementsAre("Ctrl+Shift+F12", "Ctrl+A", "Ctrl+B"));
}

TEST_F(SettingsStoreTest, DuplicatesEmptyAndUnconvertibleTextsAreSkippedSilently) {
    Store("Count", FakeRegistry::Dword(6));
    Store("Key0", FakeRegistry::Text("ctrl+shift+f12")); // the default hotkey, other case
    Store("Key1", FakeRegistry::Text("Alt+F1"));
    Store("Key2", FakeRegistry::Text("Ctrl+Nowhere")); // edited by hand
    Store("Key3", FakeRegistry::Text(""));
    Store("Key4", FakeRegistry::Text("ALT+F1"));
    // Key5 is absent.
    Load();
    EXPECT_THAT(form.lines, ElementsAre("Ctrl+Shift+F12", "Alt+F1"));
}

// A list stored before hotkeys had actions has no "Action<n>": its hotkeys translate, as
// does a word a later version may write; a saved list keeps each line's action.
TEST_F(SettingsStoreTest, EachHotKeyKeepsItsActionAndAListWithoutActionsTranslates) {
    Store("Count", FakeRegistry::Dword(3));
    Store("Key0", FakeRegistry::Text("Alt+F1"));
    Store("Key1", FakeRegistry::Text("Alt+F2"));
    Store("Action1", FakeRegistry::Text("replace"));
    Store("Key2", FakeRegistry::Text("Alt+F3"));
    Store("Action2", FakeRegistry::Text("paraphrase"));
    Load();
    EXPECT_THAT(form.lines, ElementsAre("Ctrl+Shift+F12", "Alt+F1", "Alt+F2", "Alt+F3"));
    EXPECT_THAT(form.actions, ElementsAre(HotKeyAction::Translate, HotKeyAction::Translate,
                                          HotKeyAction::Replace, HotKeyAction::Translate));

    Save();
    EXPECT_EQ(Text("Key2"), "Alt+F2");
    EXPECT_EQ(Text("Action2"), "replace");
    EXPECT_EQ(Text("Action3"), "translate");
}

TEST_F(SettingsStoreTest, StoredHotKeysThatWouldTakeATypingKeyAreSkipped) {
    // What an older version let the user add: a bare letter, Shift with Space, a bare Enter.
    const char* keys[] = {"A", "Shift+Space", "F9", "Enter", "Shift+F5", "Win+A", "Ctrl+1"};
    Store("Count", FakeRegistry::Dword(7));
    for (int i = 0; i < 7; ++i)
        Store("Key" + std::to_string(i), FakeRegistry::Text(keys[i]));
    Load();
    EXPECT_THAT(form.lines, ElementsAre("Ctrl+Shift+F12", "F9", "Shift+F5", "Win+A", "Ctrl+1"));
}

TEST_F(SettingsStoreTest, PositionOutsideTheTableEmptiesThePickerAndIsNotOverwritten) {
    Store("src", FakeRegistry::Dword(60));
    Store("trg", FakeRegistry::Dword(12));
    Load();
    EXPECT_THAT(form.handled, ElementsAre("src 60", "trg 12"));
    EXPECT_EQ(form.source, -1);

    Save();
    EXPECT_EQ(Number("src"), 60u);
    EXPECT_EQ(Number("trg"), 12u);
}

TEST_F(SettingsStoreTest, WrongTypeEndsTheLoadAtThatValueWithTheKeyClosed) {
    Store("src", FakeRegistry::Dword(3));
    Store("tr", FakeRegistry::Text("8"));
    Store("cc", FakeRegistry::Text("011"));
    try {
        Load();
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Invalid data type for 'tr'");
    }
    EXPECT_EQ(form.source, 3) << "applied before the failing value";
    EXPECT_EQ(form.checked, (std::array{true, false, false})) << "nothing after it";
    EXPECT_EQ(registry.openKeys, 0);
}

TEST_F(SettingsStoreTest, RefusedWriteStopsTheSaveWithTheKeyClosed) {
    registry.refusedWrites.insert("tr");
    try {
        Save();
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Failed to set data for 'tr'");
    }
    EXPECT_EQ(Text("cc"), "100") << "written before it";
    EXPECT_EQ(Stored().count("Count"), 0u) << "nothing after it";
    EXPECT_EQ(registry.openKeys, 0);
}

TEST_F(SettingsStoreTest, TenHotKeysAreNotStoredAndTheEarlierOnesStay) {
    Store("Count", FakeRegistry::Dword(1));
    Store("Key0", FakeRegistry::Text("Alt+F1"));
    form.lines.assign(10, "Ctrl+A");
    form.actions.assign(10, HotKeyAction::Replace);
    Save();
    EXPECT_EQ(Number("Count"), 1u);
    EXPECT_EQ(Text("Key0"), "Alt+F1");
    EXPECT_EQ(Stored().count("Key9"), 0u);
}

} // namespace
