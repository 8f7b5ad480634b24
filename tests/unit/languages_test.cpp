#include "base/ErrorReport.h"
#include "protocol/Languages.h"
#include "protocol/Utf8.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace tervane;

using namespace tervane::protocol;

TEST(LanguageTable, RowsAndCodesAreThoseThePickersAndTheServiceExpect) {
    const auto& table = LanguageTable();
    ASSERT_EQ(table.size(), 54u);
    EXPECT_EQ(table[0].name, "English");
    EXPECT_EQ(table[0].code, "EN");
    EXPECT_EQ(table[kInitialSourcePosition].name, "French");
    EXPECT_EQ(table[kInitialTargetPosition].name, "English");
    EXPECT_EQ(table[53].name, "Yiddish");
    EXPECT_EQ(table[53].code, "YI");

    // The two Dutch rows are both there and identical; every other code is unique.
    EXPECT_EQ(table[6].name, "Dutch");
    EXPECT_EQ(table[15].name, "Dutch");
    EXPECT_EQ(table[6].code, "NL");
    EXPECT_EQ(table[15].code, "NL");
    std::set<std::string_view> codes;
    for (const auto& row : table)
        codes.insert(row.code);
    EXPECT_EQ(codes.size(), 53u);

    // Codes as the service knows them, not the ISO ones that look alike.
    EXPECT_EQ(table[12].code, "ZH-TW");
    EXPECT_EQ(table[12].name, "Chinese(T)");
    EXPECT_EQ(table[22].code, "IW");
    EXPECT_EQ(table[29].code, "TL");
    EXPECT_EQ(table[44].code, "SR");
    for (const auto& row : table) {
        for (char c : row.code)
            EXPECT_TRUE((c >= 'A' && c <= 'Z') || c == '-') << row.code;
        EXPECT_EQ(ToLowerAscii(row.code), row.serviceCode);
        if (row.code != "ZH-TW") {
            EXPECT_EQ(row.code.size(), 2u) << row.code;
        }
    }
}

TEST(LanguageTable, PositionsOutsideTheTableHaveNoCode) {
    EXPECT_EQ(LanguageCodeAt(0), "EN");
    EXPECT_EQ(LanguageCodeAt(53), "YI");
    EXPECT_FALSE(LanguageCodeAt(-1).has_value());
    EXPECT_FALSE(LanguageCodeAt(54).has_value());
    EXPECT_FALSE(LanguageCodeAt(60).has_value());
}

TEST(ErrorReport, FullStopIsAppendedOnlyAfterCharactersAboveTheFullStop) {
    EXPECT_EQ(ErrorReportText("Disk full"), "Disk full.");
    EXPECT_EQ(ErrorReportText("Error 404"), "Error 404.");
    EXPECT_EQ(ErrorReportText("Done."), "Done.");
    EXPECT_EQ(ErrorReportText("Stop!"), "Stop!");
    EXPECT_EQ(ErrorReportText("(see log)"), "(see log)");
    EXPECT_EQ(ErrorReportText("a-"), "a-");        // '-' is below '.'
    EXPECT_EQ(ErrorReportText("path/"), "path/."); // '/' is above '.'
    EXPECT_EQ(ErrorReportText(""), "");
    EXPECT_EQ(ErrorReportText("Fehler: \xC3\xA4"), "Fehler: \xC3\xA4."); // UTF-8 letter
}

TEST(LanguageTable, FindsARowByItsServiceCodeOnly) {
    for (const char* code : {"zh-tw", "iw", "tl", "no", "yi", "cy"}) {
        EXPECT_NE(FindLanguage(code), nullptr) << code;
    }
    EXPECT_EQ(FindLanguage("iw")->name, "Hebrew");
    for (const char* code : {"he", "EN", "zh-TW", "", "fil"}) {
        EXPECT_EQ(FindLanguage(code), nullptr) << code;
    }
}
