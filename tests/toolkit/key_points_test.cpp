#include "toolkit/layout/key_points.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(KeyPoints, EachPointKeepsItsSizeFreeOnBothSidesAndTheRestScales) {
    // 200 destination units, 40 of them kept: the rest scales by 160/100.
    TKeyPoints Points(0, 100, 0, 200);
    Points.Add(25, 10);
    Points.Add(75, 10);
    Points.Layout();
    ASSERT_FALSE(Points.IsLinear());
    EXPECT_EQ(Points.Points()[0].DestPosition, 10 + 40);
    EXPECT_EQ(Points.Points()[1].DestPosition, 30 + 120);

    struct TCase {
        int64_t Source, Dest;
    };
    // Before the first point, between the bands, after the last.
    for (TCase C : {TCase{0, 0}, TCase{12, 20}, TCase{25, 50}, TCase{50, 100}, TCase{75, 150},
                    TCase{100, 200}})
        EXPECT_EQ(Points.ToDest(C.Source), C.Dest) << C.Source;
    // Inside a band every destination answers the point; outside it the
    // segments map back.
    for (TCase C : {TCase{25, 41}, TCase{25, 50}, TCase{25, 59}, TCase{24, 40}, TCase{26, 60},
                    TCase{50, 100}, TCase{75, 141}, TCase{100, 200}, TCase{0, 0}})
        EXPECT_EQ(Points.ToSource(C.Dest), C.Source) << C.Dest;

    // The destination is the larger, so every source position survives the
    // way there and back, and the mapping never runs backwards.
    for (int64_t P = 0; P <= 100; ++P) {
        EXPECT_EQ(Points.ToSource(Points.ToDest(P)), P) << P;
        if (P > 0) {
            EXPECT_GT(Points.ToDest(P), Points.ToDest(P - 1)) << P;
        }
    }
}

TEST(KeyPoints, PointsAtTheEndsReserveNothingBeyondThem) {
    TKeyPoints Points(0, 100, 0, 100);
    Points.Add(0, 5);
    Points.Add(100, 5);
    Points.Layout();
    EXPECT_EQ(Points.Points()[0].DestPosition, 0);
    EXPECT_EQ(Points.Points()[1].DestPosition, 100);
    EXPECT_EQ(Points.ToDest(50), 50);
}

TEST(KeyPoints, SizesBelowOneCountAsOne) {
    TKeyPoints Points(0, 100, 0, 100);
    Points.Add(50, 0);
    Points.Add(60, -7);
    Points.Layout();
    EXPECT_EQ(Points.Points()[0].Size, 1);
    EXPECT_EQ(Points.Points()[1].Size, 1);
    // Four units kept: 1 + 50 * 96 / 100, 3 + 60 * 96 / 100 (57.6 rounds up).
    EXPECT_EQ(Points.Points()[0].DestPosition, 49);
    EXPECT_EQ(Points.Points()[1].DestPosition, 61);
}

TEST(KeyPoints, ADestinationSmallerThanTheSizesMapsPurelyLinearly) {
    TKeyPoints Points(0, 1000, 0, 50);
    Points.Add(100, 20);
    Points.Add(500, 20);
    Points.Layout();
    EXPECT_TRUE(Points.IsLinear());
    EXPECT_EQ(Points.Points()[0].DestPosition, 5);
    EXPECT_EQ(Points.Points()[1].DestPosition, 25);
    for (int64_t P = -100; P <= 1100; P += 7) {
        // P * 50 / 1000 rounded half away from zero.
        int64_t Linear = P >= 0 ? (P * 50 + 500) / 1000 : -((-P * 50 + 500) / 1000);
        EXPECT_EQ(Points.ToDest(P), Linear) << P;
    }
    EXPECT_EQ(Points.ToSource(25), 500);
    EXPECT_EQ(Points.ToSource(50), 1000);
}

TEST(KeyPoints, WithoutPointsTheRangesMapLinearlyAndAnEmptyRangeGivesTheMiddle) {
    TKeyPoints Plain(100, 300, 0, 1000);
    EXPECT_EQ(Plain.ToDest(100), 0);
    EXPECT_EQ(Plain.ToDest(200), 500);
    EXPECT_EQ(Plain.ToSource(250), 150);

    TKeyPoints NoSource(10, 10, 0, 100);
    EXPECT_EQ(NoSource.ToDest(10), 50);
    EXPECT_EQ(NoSource.ToDest(-999), 50);
    TKeyPoints NoDest(0, 100, 40, 40);
    EXPECT_EQ(NoDest.ToSource(40), 50);
}

TEST(KeyPoints, AnEmptySegmentBetweenTwoPointsMapsToTheMiddleOfItsOtherSide) {
    TKeyPoints Points(0, 100, 0, 1000);
    Points.Add(10, 3);
    Points.Add(12, 3);
    Points.Layout();
    const auto& P = Points.Points();
    // Only source 11 lies between the two points: that segment has no length.
    int64_t From = P[0].DestPosition + P[0].Size, To = P[1].DestPosition - P[1].Size;
    ASSERT_LT(From, To);
    EXPECT_EQ(Points.ToDest(11), (From + To) / 2);
}

TEST(KeyPoints, LongSourceRangesDoNotOverflow) {
    // A time line of a little over a day in 100 ns units across 1920 pixels.
    const int64_t Day = 864'000'000'000;
    TKeyPoints Points(0, Day, 0, 1920);
    Points.Add(Day / 2, 4);
    Points.Layout();
    EXPECT_EQ(Points.Points()[0].DestPosition, 4 + 956);
    EXPECT_EQ(Points.ToDest(Day), 1920);
    EXPECT_EQ(Points.ToDest(Day / 4), 478);
    EXPECT_EQ(Points.ToSource(1920), Day);
    EXPECT_EQ(Points.ToSource(960), Day / 2);
}
