#include "render/player_object.h"

#include <gtest/gtest.h>

namespace {

constexpr TVideoTime Second = 10000000;

struct TLayoutCase {
    TRect Window;
    int32_t VideoWidth, VideoHeight;
    bool KeepAspect, Centred;
    TRect Expected;
};

class LetterboxLayout : public ::testing::TestWithParam<TLayoutCase> {};

TEST_P(LetterboxLayout, PlacesTheVideo) {
    const TLayoutCase& Case = GetParam();
    EXPECT_EQ(LayoutVideoRect(Case.Window, Case.VideoWidth, Case.VideoHeight, Case.KeepAspect,
                              Case.Centred),
              Case.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LetterboxLayout,
    ::testing::Values(
        // Bars left and right: the height limits.
        TLayoutCase{{0, 0, 200, 100}, 320, 240, true, true, TRect::FromSize(33, 0, 133, 100)},
        // Bars above and below: the width limits.
        TLayoutCase{{0, 0, 100, 200}, 320, 240, true, true, TRect::FromSize(0, 62, 100, 75)},
        TLayoutCase{{0, 0, 200, 100}, 320, 240, true, false, TRect::FromSize(0, 0, 133, 100)},
        TLayoutCase{{10, 20, 210, 120}, 320, 240, true, true, TRect::FromSize(43, 20, 133, 100)},
        // Without keep-aspect the video fills the window.
        TLayoutCase{{0, 0, 200, 100}, 320, 240, false, true, TRect::FromSize(0, 0, 200, 100)},
        // Sizes of 0 never divide.
        TLayoutCase{{0, 0, 200, 100}, 0, 240, true, true, TRect::FromSize(0, 0, 0, 0)},
        TLayoutCase{{0, 0, 200, 100}, 320, 0, true, true, TRect::FromSize(0, 0, 0, 0)},
        TLayoutCase{{0, 0, 0, 0}, 320, 240, true, true, TRect::FromSize(0, 0, 0, 0)},
        TLayoutCase{{0, 0, 200, 0}, 320, 240, true, true, TRect::FromSize(0, 0, 0, 0)},
        TLayoutCase{{0, 0, 0, 0}, 0, 0, false, true, TRect::FromSize(0, 0, 0, 0)}));

TEST(SeekLimits, TheRangeEndIsAlignedToTheFrameGridLessTwoUnits) {
    // A 2-second item at 25 frames per second starting at 10 s.
    EXPECT_EQ(LastSeekableTime(12 * Second, 25), 119999998);
    // 1.03 s at 16 frames per second: 16 whole frames, 1 s.
    EXPECT_EQ(LastSeekableTime(10300000, 16), Second - 2);
    // No frame rate: only the 2 units.
    EXPECT_EQ(LastSeekableTime(10300000, 0), 10300000 - 2);
    EXPECT_EQ(LastSeekableTime(0, 25), 0);
    EXPECT_EQ(LastSeekableTime(1, 25), 0);
}

} // namespace
