// The translation log's bytes: banner, records, the heading's time stamp in the user's
// formats and the midnight rule, over an in-memory file system and a fixed clock.
#include "translate/TranslationLog.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using namespace tervane;

namespace {

class MemoryLogFiles final : public LogFiles {
  public:
    std::map<std::string, std::string> files;

    bool AppendToExisting(const std::string& path, std::string_view bytes) override {
        const auto it = files.find(path);
        if (it == files.end())
            return false;
        it->second += bytes;
        return true;
    }
    bool CreateNew(const std::string& path, std::string_view bytes) override {
        return files.emplace(path, std::string(bytes)).second;
    }
};

UserDateTimeFormats BritishFormats() {
    UserDateTimeFormats formats;
    formats.shortDate = "dd/MM/yyyy";
    formats.longTime = "HH:mm:ss";
    return formats;
}

class FixedClock final : public UserClock {
  public:
    LocalDateTime now{2026, 12, 6, 0, 18, 30, 5};
    UserDateTimeFormats formats = BritishFormats();
    LocalDateTime Now() override { return now; }
    UserDateTimeFormats Formats() override { return formats; }
};

const std::string kPath = TranslationLogPath("C:\\ProgramData");

const char kBanner[] = "***************************\r\n"
                       "*     Pellori Wordkit     *\r\n"
                       "***************************\r\n"
                       "\r\n";

TEST(TranslationLog, AppendsRecordsOnlyToAFileThatExistsAndCreatesItOnlyOnce) {
    EXPECT_EQ(kPath, "C:\\ProgramData\\Translations.LOG");
    EXPECT_EQ(TranslationLogPath(""), "\\Translations.LOG");
    MemoryLogFiles files;
    FixedClock clock;
    TranslationLog log(kPath, files, clock);

    EXPECT_FALSE(log.Append("French", "English", "Bonjour", "Hello"));
    EXPECT_TRUE(files.files.empty());

    EXPECT_TRUE(log.CreateWithBanner());
    EXPECT_EQ(files.files[kPath], kBanner);
    files.files[kPath] += "kept";
    EXPECT_FALSE(log.CreateWithBanner());

    EXPECT_TRUE(log.Append("French", "English", "Bonjour", "Hello"));
    EXPECT_TRUE(log.Append("Russian", "English", "Привет", "Hi\r\n \r\nthere"));
    EXPECT_EQ(files.files[kPath],
              std::string(kBanner) + "kept" +
                  "\r\n"
                  "***** Translation French-->English at 06/12/2026 18:30:05 *****\r\n"
                  "\r\n"
                  "<<<-- Source -->>>\r\n"
                  "\r\n"
                  "Bonjour\r\n"
                  "\r\n"
                  "<<<-- Target -->>>\r\n"
                  "\r\n"
                  "Hello\r\n"
                  "\r\n"
                  // A paragraph break in the translation lengthens the record by two lines.
                  "\r\n"
                  "***** Translation Russian-->English at 06/12/2026 18:30:05 *****\r\n"
                  "\r\n"
                  "<<<-- Source -->>>\r\n"
                  "\r\n"
                  "Привет\r\n"
                  "\r\n"
                  "<<<-- Target -->>>\r\n"
                  "\r\n"
                  "Hi\r\n \r\nthere\r\n"
                  "\r\n");
}

TEST(TranslationLog, MidnightHeadingEndsWithTheDate) {
    MemoryLogFiles files;
    files.files[kPath] = "";
    FixedClock clock;
    TranslationLog log(kPath, files, clock);
    clock.now = {2026, 12, 7, 1, 0, 0, 0};
    log.Append("French", "English", "a", "b");
    clock.now.second = 1;
    log.Append("French", "English", "a", "b");
    const std::string& text = files.files[kPath];
    EXPECT_NE(text.find("***** Translation French-->English at 07/12/2026 *****\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("***** Translation French-->English at 07/12/2026 00:00:01 *****\r\n"),
              std::string::npos);
}

TEST(TranslationLog, LineFeedsAloneBecomeCrLf) {
    EXPECT_EQ(WithCrLfLineEnds("one\ntwo\r\nthree\n\n"), "one\r\ntwo\r\nthree\r\n\r\n");
    EXPECT_EQ(WithCrLfLineEnds("\nend\r"), "\r\nend\r");
}

TEST(LogTimeStamp, FollowsTheUsersPictures) {
    UserDateTimeFormats us; // M/d/yyyy h:mm:ss tt
    LocalDateTime when{2005, 3, 7, 1, 0, 0, 9};
    EXPECT_EQ(LogTimeStamp(when, us), "3/7/2005 12:00:09 AM");
    when.hour = 12;
    EXPECT_EQ(LogTimeStamp(when, us), "3/7/2005 12:00:09 PM");
    when.hour = 13;
    when.minute = 5;
    EXPECT_EQ(LogTimeStamp(when, us), "3/7/2005 1:05:09 PM");
    when.hour = 0;
    when.minute = 0;
    when.second = 0;
    EXPECT_EQ(LogTimeStamp(when, us), "3/7/2005");

    UserDateTimeFormats german;
    german.shortDate = "dddd, d. MMMM yy";
    german.longTime = "H 'Uhr' m";
    german.dayNames[1] = "Montag";
    german.monthNames[2] = "März";
    EXPECT_EQ(LogTimeStamp({2005, 3, 7, 1, 9, 4, 0}, german), "Montag, 7. März 05 9 Uhr 4");

    UserDateTimeFormats other;
    other.shortDate = "ddd MMM y 'o''clock' '' gg";
    other.longTime = "hh.mm.ss t";
    other.abbreviatedDayNames[0] = "Sun";
    other.abbreviatedMonthNames[11] = "Dec";
    other.era = "A.D.";
    other.pm = "午後";
    EXPECT_EQ(LogTimeStamp({2009, 12, 6, 0, 21, 7, 3}, other),
              "Sun Dec 9 o'clock ' A.D. 09.07.03 午");
}

} // namespace
