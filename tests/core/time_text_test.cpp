#include "core/time_text.h"

#include <gtest/gtest.h>

namespace {

TEST(FormatTime, ShowsMinutesSecondsAndHundredths) {
    EXPECT_EQ(FormatTime(75.456), "01:15.46");
    EXPECT_EQ(FormatTime(0), "00:00.00");
    EXPECT_EQ(FormatTime(3599.99), "59:59.99");
    EXPECT_EQ(FormatTime(59.999), "01:00.00");
    EXPECT_EQ(FormatTime(0.5), "00:00.50");
}

TEST(FormatTime, MinutesHaveNoUpperLimit) {
    EXPECT_EQ(FormatTime(6000), "100:00.00");
    EXPECT_EQ(FormatTime(600000.25), "10000:00.25");
}

TEST(FormatTime, NegativeValuesGetAMinus) {
    EXPECT_EQ(FormatTime(-75.456), "-01:15.46");
    EXPECT_EQ(FormatTime(-0.25), "-00:00.25");
}

TEST(FormatSignedTime, PutsAPlusBeforePositiveValues) {
    EXPECT_EQ(FormatSignedTime(1.5), "+00:01.50");
    EXPECT_EQ(FormatSignedTime(-1.5), "-00:01.50");
    EXPECT_EQ(FormatSignedTime(0), "00:00.00");
}

TEST(ParseTime, ReadsMinutesSecondsAndFraction) {
    EXPECT_DOUBLE_EQ(ParseTime("01:15.46", 0), 75.46);
    EXPECT_DOUBLE_EQ(ParseTime("1:30", 0), 90);
    EXPECT_DOUBLE_EQ(ParseTime("90", 0), 90);
    EXPECT_DOUBLE_EQ(ParseTime("1:5", 0), 65);
    EXPECT_DOUBLE_EQ(ParseTime(".5", 0), 0.5);
    EXPECT_DOUBLE_EQ(ParseTime("2.125", 0), 2.125);
}

TEST(ParseTime, KeepsAtMostThreeDecimalDigits) {
    EXPECT_DOUBLE_EQ(ParseTime("2.1239", 0), 2.123);
}

TEST(ParseTime, MinusFlipsTheSign) {
    EXPECT_DOUBLE_EQ(ParseTime("-1:30", 0), -90);
    EXPECT_DOUBLE_EQ(ParseTime("--1:30", 0), 90);
}

TEST(ParseTime, TextWithoutDigitsGivesTheDefault) {
    EXPECT_DOUBLE_EQ(ParseTime("", 4.5), 4.5);
    EXPECT_DOUBLE_EQ(ParseTime("abc", 4.5), 4.5);
    EXPECT_DOUBLE_EQ(ParseTime(":.", 4.5), 4.5);
}

TEST(ParseTime, IntegerPartsSaturate) {
    EXPECT_DOUBLE_EQ(ParseTime("99999", 0), 1000);
    EXPECT_DOUBLE_EQ(ParseTime("99999:00", 0), 60000);
    EXPECT_DOUBLE_EQ(ParseTime("99999999999999999999:99999999999999999999", 0), 61000);
}

TEST(ParseTime, ReadsWhatFormatTimeWrites) {
    for (double Seconds : {0.0, 0.01, 1.5, 59.99, 75.46, 3599.99, -12.34}) {
        EXPECT_NEAR(ParseTime(FormatTime(Seconds), 999), Seconds, 1e-9) << Seconds;
        EXPECT_NEAR(ParseTime(FormatSignedTime(Seconds), 999), Seconds, 1e-9) << Seconds;
    }
}

} // namespace
