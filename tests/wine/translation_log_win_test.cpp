// The translation log on Wine's real file system, shell folders and user locale.
#include "base/ShellFolder_win.h"
#include "base/SystemError_win.h"
#include "translate/LogTimeStamp_win.h"
#include "translate/TranslationLog_win.h"

#include "WineTestSupport.h"

#include <gtest/gtest.h>

#include <sddl.h>
#include <vector>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

using namespace tervane;

namespace {

bool Exists(const std::string& path) {
    return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Contents(const std::string& path) {
    std::ifstream file(Widen(path).c_str(), std::ios::binary);
    std::ostringstream out;
    out << file.rdbuf();
    return out.str();
}

class FixedClock final : public UserClock {
  public:
    LocalDateTime Now() override { return {2026, 12, 6, 0, 18, 30, 5}; }
    UserDateTimeFormats Formats() override {
        UserDateTimeFormats formats;
        formats.shortDate = "dd/MM/yyyy";
        formats.longTime = "HH:mm:ss";
        return formats;
    }
};

class TranslationLogFiles : public testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder = Narrow(temp) + "tervane-log-test";
        CreateDirectoryW(Widen(folder).c_str(), nullptr);
        path = TranslationLogPath(folder);
        DeleteFileW(Widen(path).c_str());
    }
    void TearDown() override {
        DeleteFileW(Widen(path).c_str());
        RemoveDirectoryW(Widen(folder).c_str());
    }
    std::string folder, path;
    WinLogFiles files;
    FixedClock clock;
};

TEST_F(TranslationLogFiles, AppendsOnlyToAnExistingFileAndCreatesTheBannerOnce) {
    TranslationLog log(path, files, clock);
    EXPECT_FALSE(log.Append("French", "English", "Bonjour", "Hello"));
    EXPECT_FALSE(Exists(path));

    EXPECT_TRUE(log.CreateWithBanner());
    EXPECT_FALSE(log.CreateWithBanner());
    EXPECT_TRUE(log.Append("Russian", "English", "Доброе утро", "Good morning"));
    EXPECT_EQ(Contents(path), TranslationLogBanner() +
                                  TranslationLogRecord("Russian", "English", "06/12/2026 18:30:05",
                                                       "Доброе утро", "Good morning"));
    // No byte-order mark: the file starts with the banner's asterisks.
    EXPECT_EQ(Contents(path).substr(0, 3), "***");
}

// Another user of the machine must be able to append: a new log is given an access list
// that lets every local user (BUILTIN\Users) read and append. Wine keeps no access list of
// a file (it reads one back made from the Unix mode), so what is checked is that the
// list is accepted for the new file and grants what it should.
TEST_F(TranslationLogFiles, TheCreatedLogLetsEveryLocalUserAppend) {
    TranslationLog log(path, files, clock);
    ASSERT_TRUE(log.CreateWithBanner()) << "the access list was refused";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
        kSharedLogSecurity, SDDL_REVISION_1, &descriptor, nullptr));
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted));
    BYTE usersSid[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof usersSid;
    ASSERT_TRUE(CreateWellKnownSid(WinBuiltinUsersSid, nullptr, usersSid, &sidSize));
    ACCESS_MASK usersMay = 0;
    for (DWORD i = 0; present && dacl && i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        ASSERT_TRUE(GetAce(dacl, i, &ace));
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        if (allowed->Header.AceType == ACCESS_ALLOWED_ACE_TYPE &&
            EqualSid(&allowed->SidStart, usersSid))
            usersMay |= allowed->Mask;
    }
    LocalFree(descriptor);
    EXPECT_EQ(usersMay, static_cast<ACCESS_MASK>(FILE_GENERIC_READ | FILE_APPEND_DATA))
        << "read and append, never overwrite";
}

TEST_F(TranslationLogFiles, AFileThatCannotBeOpenedGivesTheSystemsReason) {
    TranslationLog log(path, files, clock);
    ASSERT_TRUE(log.CreateWithBanner());
    const std::string before = Contents(path);
    HANDLE locked = CreateFileW(Widen(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    try {
        log.Append("French", "English", "Bonjour", "Hello");
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(e.what(), SystemErrorText(ERROR_SHARING_VIOLATION));
        EXPECT_EQ(std::string(e.what()).find("Error 0x"), std::string::npos) << e.what();
    }
    CloseHandle(locked);
    EXPECT_EQ(Contents(path), before);
}

// The stamp made from the user's settings reads as the system itself formats them.
TEST(TranslationLogClock, StampMatchesTheSystemsShortDateAndLongTime) {
    WinUserClock clock;
    const UserDateTimeFormats formats = clock.Formats();
    for (SYSTEMTIME t :
         {SYSTEMTIME{2026, 12, 0, 6, 18, 30, 5, 0}, SYSTEMTIME{2005, 3, 1, 7, 9, 4, 0, 0},
          SYSTEMTIME{2024, 1, 3, 31, 0, 0, 1, 0}, SYSTEMTIME{2024, 7, 3, 31, 0, 0, 0, 0}}) {
        wchar_t date[128], time[128];
        ASSERT_GT(GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &t, nullptr, date, 128,
                                  nullptr),
                  0);
        ASSERT_GT(GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &t, nullptr, time, 128), 0);
        const bool midnight = t.wHour == 0 && t.wMinute == 0 && t.wSecond == 0;
        std::string expected = Narrow(date);
        if (!midnight)
            expected.append(" ").append(Narrow(time));
        EXPECT_EQ(
            LogTimeStamp({t.wYear, t.wMonth, t.wDay, t.wDayOfWeek, t.wHour, t.wMinute, t.wSecond},
                         formats),
            expected);
    }
}

// The program's own log, in the application data folder shared by all users.
TEST(TranslationLogPlace, LivesInTheSharedApplicationDataFolder) {
    const std::string folder = GetShellFolderPath(kCommonAppDataFolder);
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(GetFileAttributesW(Widen(folder).c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    const std::string path = TranslationLogPath();
    EXPECT_EQ(path, folder + "\\Translations.LOG");
    DeleteFileW(Widen(path).c_str());

    LogTranslation("French", "English", "Bonjour", "Hello");
    EXPECT_FALSE(Exists(path));
    EXPECT_TRUE(CreateLogWithBanner());
    EXPECT_FALSE(CreateLogWithBanner());
    LogTranslation("French", "English", "Bonjour", "Hello");
    const std::string text = Contents(path);
    DeleteFileW(Widen(path).c_str());
    EXPECT_EQ(text.rfind(TranslationLogBanner(), 0), 0u);
    EXPECT_NE(text.find("\r\n***** Translation French-->English at "), std::string::npos);
    EXPECT_NE(text.find("\r\nBonjour\r\n\r\n<<<-- Target -->>>\r\n\r\nHello\r\n\r\n"),
              std::string::npos);
}

} // namespace
