// The settings file that stands for the registry on Linux: what the settings store writes
// into it, read back through the store, typed values and their refusals, failed writes.
#include "app/SettingsStore.h"
#include "gtk/IniRegistry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

using namespace tervane;

namespace {

std::string Contents(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class SettingsFileTest : public testing::Test {
  protected:
    void SetUp() override {
        folder_ =
            std::filesystem::temp_directory_path() /
            ("tervane-ini-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
        path_ = folder_ / "tervane" / "settings.ini";
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    void Write(const std::string& text) {
        std::filesystem::create_directories(path_.parent_path());
        std::ofstream(path_) << text;
    }

    std::filesystem::path folder_;
    std::filesystem::path path_;
};

TEST_F(SettingsFileTest, TheStoreWritesEveryValueWithItsType) {
    IniRegistry registry(path_.string());
    EXPECT_EQ(registry.Open(kSettingsKeyPath, false, false), nullptr);
    EXPECT_FALSE(std::filesystem::exists(path_)); // a load never makes the file

    Settings settings;
    settings.sourcePosition = 12;
    settings.copyToClipboard = true;
    settings.sliderPosition = 9;
    settings.hotKeys = {{"Ctrl+Shift+F12"}, {"Ctrl+Alt+T", HotKeyAction::Replace}};
    SaveSettings(registry, settings);
    EXPECT_EQ(Contents(path_), "[Software\\Vellmark\\Tervane]\n"
                               "src=dword:12\n"
                               "trg=dword:0\n"
                               "cc=\"110\"\n"
                               "tr=dword:9\n"
                               "Count=dword:2\n"
                               "Key0=\"Ctrl+Shift+F12\"\n"
                               "Action0=\"translate\"\n"
                               "Key1=\"Ctrl+Alt+T\"\n"
                               "Action1=\"replace\"\n");

    // A later save replaces the values in place and keeps what it does not write.
    settings.hotKeys = {{"Ctrl+Shift+F12"}};
    SaveSettings(registry, settings);
    const auto key = registry.Open(kSettingsKeyPath, false, false);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(ReadInteger(*key, "Count"), 1);
    EXPECT_EQ(ReadText(*key, "Key1"), "Ctrl+Alt+T");
    EXPECT_EQ(ReadText(*key, "cc"), "110");
}

// A file that earlier versions of the program wrote (the same format) loads unchanged, and
// saving what it holds keeps its bytes; a comment and another group are kept.
TEST_F(SettingsFileTest, AnEarlierFileLoadsAndRoundTrips) {
    const std::string earlier = "[Software\\Vellmark\\Tervane]\n"
                                "src=dword:1\n"
                                "trg=dword:0\n"
                                "cc=\"111\"\n"
                                "tr=dword:8\n"
                                "Count=dword:2\n"
                                "Key0=\"Ctrl+Shift+F12\"\n"
                                "Key1=\"Ctrl+Alt+T\"\n";
    Write(earlier);
    IniRegistry registry(path_.string());
    const auto key = registry.Open(kSettingsKeyPath, false, false);
    ASSERT_NE(key, nullptr);
    Settings settings;
    settings.sourcePosition = *ReadInteger(*key, "src");
    settings.targetPosition = *ReadInteger(*key, "trg");
    settings.sliderPosition = *ReadInteger(*key, "tr");
    const std::string options = *ReadText(*key, "cc");
    settings.freeze = options[0] == '1';
    settings.copyToClipboard = options[1] == '1';
    settings.logToFile = options[2] == '1';
    for (int i = 0; i < *ReadInteger(*key, "Count"); ++i)
        settings.hotKeys.push_back({*ReadText(*key, "Key" + std::to_string(i))});
    EXPECT_EQ(ReadText(*key, "Action0"), std::nullopt);
    // Saved again, the same bytes with each hotkey's action added after them.
    const std::string withActions = earlier + "Action0=\"translate\"\n"
                                              "Action1=\"translate\"\n";
    SaveSettings(registry, settings);
    EXPECT_EQ(Contents(path_), withActions);

    Write("# by hand\n\n[Other]\na=1\n\n" + earlier);
    SaveSettings(registry, settings);
    EXPECT_EQ(Contents(path_), "# by hand\n\n[Other]\na=1\n\n" + withActions);
}

TEST_F(SettingsFileTest, AValueOfAnotherTypeIsRefusedByName) {
    Write("# by hand\n[Software\\Vellmark\\Tervane]\nsrc=\"1\"\ntr=16\ntrg=dword:x\ncc=dword:5\n");
    IniRegistry registry(path_.string());
    const auto key = registry.Open(kSettingsKeyPath, false, false);
    ASSERT_NE(key, nullptr);
    for (const char* name : {"src", "tr", "trg"}) {
        try {
            ReadInteger(*key, name);
            ADD_FAILURE() << name << " was read as a number";
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(std::string(error.what()),
                      "Invalid data type for '" + std::string(name) + "'");
        }
    }
    EXPECT_THROW(ReadText(*key, "cc"), std::runtime_error);
    EXPECT_EQ(ReadText(*key, "Key0"), std::nullopt);
}

TEST_F(SettingsFileTest, TextsKeepQuotesBackslashesAndLineBreaks) {
    IniRegistry registry(path_.string());
    auto key = registry.Open(kSettingsKeyPath, true, true);
    ASSERT_NE(key, nullptr);
    const std::string text = "a \"quoted\" C:\\path\r\nnext = line";
    WriteText(*key, "Key0", text);
    key = registry.Open(kSettingsKeyPath, false, false);
    EXPECT_EQ(ReadText(*key, "Key0"), text);
    EXPECT_EQ(ParseIniValue("dword:4294967295").number, 4294967295u);
    EXPECT_EQ(ParseIniValue("dword:4294967296").type, RegistryType::Other);
}

TEST_F(SettingsFileTest, AFileThatCannotBeWrittenFailsTheSaveByName) {
    std::filesystem::create_directories(folder_);
    std::ofstream(folder_ / "tervane") << "a file where the folder should be";
    IniRegistry registry(path_.string());
    // The key cannot even be made: nothing is written and the close goes on.
    EXPECT_NO_THROW(SaveSettings(registry, Settings{}));

    std::filesystem::remove(folder_ / "tervane");
    Write("[Software\\Vellmark\\Tervane]\n");
    IniRegistry readOnly(path_.string());
    const auto key = readOnly.Open(kSettingsKeyPath, false, false);
    ASSERT_NE(key, nullptr);
    try {
        WriteInteger(*key, "src", 1);
        ADD_FAILURE() << "a key opened for reading was written";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Failed to set data for 'src'");
    }
}

} // namespace
