// The locale's strftime formats as the pictures the log's time stamp takes.
#include "gtk/DatePicture.h"
#include "translate/LogTimeStamp.h"

#include <gtest/gtest.h>

using namespace tervane;

TEST(DatePicture, TheLocalesFormatsBecomePictures) {
    EXPECT_EQ(PictureOfStrftime("%m/%d/%y"), "MM/dd/yy");          // C, en_US
    EXPECT_EQ(PictureOfStrftime("%d/%m/%Y"), "dd/MM/yyyy");        // en_GB
    EXPECT_EQ(PictureOfStrftime("%d.%m.%Y"), "dd.MM.yyyy");        // de_DE
    EXPECT_EQ(PictureOfStrftime("%H:%M:%S"), "HH:mm:ss");          // most
    EXPECT_EQ(PictureOfStrftime("%r"), "hh:mm:ss tt");             // en_US
    EXPECT_EQ(PictureOfStrftime("%l:%M:%S %p %Z"), "h:mm:ss tt "); // a zone has no picture
    EXPECT_EQ(PictureOfStrftime("%-d de %B"), "d 'd''e' MMMM");    // letters stay letters
    EXPECT_EQ(PictureOfStrftime("100%% o'clock"), "100% 'o''''c''l''o''c''k'");
}

TEST(DatePicture, AStampMadeFromThemReadsAsTheLocaleWritesIt) {
    UserDateTimeFormats formats;
    formats.shortDate = PictureOfStrftime("%d.%m.%Y");
    formats.longTime = PictureOfStrftime("%H:%M:%S");
    LocalDateTime when;
    when.year = 2026;
    when.month = 12;
    when.day = 6;
    when.hour = 18;
    when.minute = 30;
    when.second = 5;
    EXPECT_EQ(LogTimeStamp(when, formats), "06.12.2026 18:30:05");
}
