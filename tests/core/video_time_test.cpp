#include "core/video_time.h"

#include <gtest/gtest.h>

namespace {

TEST(VideoTime, SecondsConvertToHundredNanosecondUnits) {
    EXPECT_EQ(SecondsToVideoTime(1.5), 15000000);
    EXPECT_EQ(SecondsToVideoTime(-0.25), -MinimumItemDuration);
    EXPECT_EQ(SecondsToVideoTime(0), 0);
    EXPECT_DOUBLE_EQ(VideoTimeToSeconds(25000000), 2.5);
    EXPECT_DOUBLE_EQ(VideoTimeToSeconds(-VideoTimeUnitsPerSecond), -1.0);
}

TEST(VideoTime, ConversionRoundsToTheNearestUnit) {
    EXPECT_EQ(SecondsToVideoTime(0.00000004), 0);
    EXPECT_EQ(SecondsToVideoTime(0.00000006), 1);
    EXPECT_EQ(SecondsToVideoTime(-0.00000006), -1);
}

TEST(VideoTime, WholeHoursSurviveTheRoundTrip) {
    TVideoTime TenHours = 36000 * VideoTimeUnitsPerSecond;
    EXPECT_EQ(SecondsToVideoTime(VideoTimeToSeconds(TenHours)), TenHours);
}

} // namespace
