#include "core/numbers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>

namespace {

constexpr int32_t Int32Min = std::numeric_limits<int32_t>::min();
constexpr int32_t Int32Max = std::numeric_limits<int32_t>::max();

TEST(GrowCapacity, FollowsTheSeriesBelow512) {
    const std::pair<int32_t, int32_t> Cases[] = {
        {0, 1},     {1, 2},     {2, 3},     {3, 4},     {4, 6},     {5, 6},     {6, 8},    {7, 8},
        {8, 12},    {11, 12},   {12, 16},   {16, 24},   {24, 32},   {32, 48},   {48, 64},  {64, 96},
        {100, 128}, {128, 192}, {192, 256}, {256, 384}, {383, 384}, {384, 512}, {511, 512}};
    for (auto [N, Expected] : Cases)
        EXPECT_EQ(GrowCapacity(N), Expected) << "N = " << N;
}

TEST(GrowCapacity, ScalesTheSeriesForLargerCounts) {
    const std::pair<int32_t, int32_t> Cases[] = {{512, 768},
                                                 {767, 768},
                                                 {768, 1024},
                                                 {1000, 1024},
                                                 {4095, 4096},
                                                 {4096, 6144},
                                                 {6143, 6144},
                                                 {6144, 8192},
                                                 {(1 << 17) - 1, 1 << 17},
                                                 {1 << 17, 3 << 16},
                                                 {(1 << 25) - 1, 1 << 25},
                                                 {1 << 25, 3 << 24},
                                                 {0x5FFFFFFF, 0x60000000},
                                                 {0x60000000, Int32Max},
                                                 {Int32Max, Int32Max}};
    for (auto [N, Expected] : Cases)
        EXPECT_EQ(GrowCapacity(N), Expected) << "N = " << N;
}

TEST(GrowCapacity, NegativeCountGivesZero) {
    EXPECT_EQ(GrowCapacity(-1), 0);
    EXPECT_EQ(GrowCapacity(Int32Min), 0);
}

TEST(GrowCapacity, AlwaysExceedsTheCountAtMostTwice) {
    int32_t Previous = 0;
    for (int32_t N = 0; N < (1 << 20); ++N) {
        int32_t C = GrowCapacity(N);
        ASSERT_GT(C, N);
        ASSERT_LE(C, N == 0 ? 1 : 2 * N) << N;
        ASSERT_GE(C, Previous) << N;
        Previous = C;
    }
    for (int64_t N = 1 << 20; N < 0x60000000; N = N * 9 / 8 + 1) {
        auto Count = static_cast<int32_t>(N);
        ASSERT_GT(GrowCapacity(Count), Count);
        ASSERT_LE(GrowCapacity(Count), 2 * N);
    }
}

TEST(FitCapacity, GivesTheSmallestCapacityHoldingTheCount) {
    const std::pair<int32_t, int32_t> Cases[] = {{1, 1},
                                                 {2, 2},
                                                 {5, 6},
                                                 {6, 6},
                                                 {7, 8},
                                                 {511, 512},
                                                 {512, 512},
                                                 {513, 768},
                                                 {768, 768},
                                                 {769, 1024},
                                                 {4096, 4096},
                                                 {4097, 6144},
                                                 {1 << 17, 1 << 17},
                                                 {(1 << 17) + 1, 3 << 16},
                                                 {0x60000000, 0x60000000},
                                                 {0x60000001, Int32Max}};
    for (auto [N, Expected] : Cases)
        EXPECT_EQ(FitCapacity(N), Expected) << "N = " << N;
}

TEST(FitCapacity, NonPositiveCountGivesZero) {
    EXPECT_EQ(FitCapacity(0), 0);
    EXPECT_EQ(FitCapacity(-3), 0);
}

TEST(FitCapacity, NeverFallsShortOfTheCount) {
    for (int64_t N = 1; N < 0x60000000; N = N < 4096 ? N + 1 : N * 17 / 16 + 1) {
        auto Count = static_cast<int32_t>(N);
        ASSERT_GE(FitCapacity(Count), Count) << Count;
        ASSERT_LE(FitCapacity(Count), GrowCapacity(Count)) << Count;
        // A capacity of the series holds exactly itself.
        int32_t Grown = GrowCapacity(Count);
        ASSERT_EQ(FitCapacity(Grown), Grown) << Grown;
    }
}

TEST(MulDivRound, RoundsHalfAwayFromZero) {
    EXPECT_EQ(MulDivRound(1, 1, 3), 0);
    EXPECT_EQ(MulDivRound(2, 1, 3), 1);
    EXPECT_EQ(MulDivRound(5, 1, 1), 5);
    EXPECT_EQ(MulDivRound(1, 1, 2), 1);
    EXPECT_EQ(MulDivRound(-1, 1, 2), -1);
    EXPECT_EQ(MulDivRound(10, 3, 4), 8); // 7.5
    EXPECT_EQ(MulDivRound(-10, 3, 4), -8);
    EXPECT_EQ(MulDivRound(10, -3, 4), -8);
    EXPECT_EQ(MulDivRound(10, 3, -4), -8);
    EXPECT_EQ(MulDivRound(-10, -3, 4), 8);
    EXPECT_EQ(MulDivRound(29, 1, 4), 7); // 7.25
    EXPECT_EQ(MulDivRound(-29, 1, 4), -7);
    EXPECT_EQ(MulDivRound(0, 5, 7), 0);
}

TEST(MulDivRound, ProductMayExceed32Bits) {
    EXPECT_EQ(MulDivRound(2000000000, 2000000000, 2000000000), 2000000000);
    EXPECT_EQ(MulDivRound(1920, 1080000000, 1080000000), 1920);
    EXPECT_EQ(MulDivRound64(std::numeric_limits<int64_t>::max(), 4, 4),
              std::numeric_limits<int64_t>::max());
    EXPECT_EQ(MulDivRound64(10000000, 3, 2), 15000000);
}

TEST(FitSize, KeepsTheAspectRatioWithinTheBox) {
    EXPECT_EQ(FitSize(1920, 1080, 640, 480), (TSize{640, 360}));
    EXPECT_EQ(FitSize(1080, 1920, 640, 480), (TSize{270, 480}));
    EXPECT_EQ(FitSize(4, 3, 100, 100), (TSize{100, 75}));
    EXPECT_EQ(FitSize(1, 1, 10, 20), (TSize{10, 10}));
    EXPECT_EQ(FitSize(720, 576, 720, 576), (TSize{720, 576}));
    EXPECT_EQ(FitSize(3, 2, 100, 100), (TSize{100, 67})); // 66.67 rounds up
}

TEST(FitSize, NonPositiveInputGivesEmptySize) {
    EXPECT_EQ(FitSize(0, 10, 100, 100), (TSize{0, 0}));
    EXPECT_EQ(FitSize(10, -1, 100, 100), (TSize{0, 0}));
    EXPECT_EQ(FitSize(10, 10, 0, 100), (TSize{0, 0}));
    EXPECT_EQ(FitSize(10, 10, 100, -5), (TSize{0, 0}));
}

// One side reaches its limit and the other is the exact proportion rounded to
// the nearest pixel, whatever the sizes (damaged settings included).
TEST(FitSize, ResultIsTheRoundedProportionForAnySizes) {
    std::mt19937 Random(5);
    auto Check = [](int32_t W, int32_t H, int32_t MaxW, int32_t MaxH) {
        TSize S = FitSize(W, H, MaxW, MaxH);
        ASSERT_GE(S.Width, 0);
        ASSERT_GE(S.Height, 0);
        ASSERT_LE(S.Width, MaxW);
        ASSERT_LE(S.Height, MaxH);
        int64_t HeightError = 2 * (int64_t(S.Height) * W - int64_t(MaxW) * H);
        int64_t WidthError = 2 * (int64_t(S.Width) * H - int64_t(MaxH) * W);
        bool WidthLimited = S.Width == MaxW && (HeightError < 0 ? -HeightError : HeightError) <= W;
        bool HeightLimited = S.Height == MaxH && (WidthError < 0 ? -WidthError : WidthError) <= H;
        ASSERT_TRUE(WidthLimited || HeightLimited) << W << "x" << H << " in " << MaxW << "x" << MaxH
                                                   << " gave " << S.Width << "x" << S.Height;
    };
    Check(2, 131072, 65536, 1000);
    Check(131072, 2, 1000, 65536);
    Check(1, Int32Max, Int32Max, 100);
    Check(Int32Max, 1, 100, Int32Max);
    for (int I = 0; I < 2000; ++I) {
        auto Pick = [&] {
            int Bits = static_cast<int>(Random() % 31);
            return static_cast<int32_t>(Random() % (1u << Bits)) + 1;
        };
        Check(Pick(), Pick(), Pick(), Pick());
    }
}

TEST(ParseInteger, ReadsSignsHexAndIgnoresTrailingText) {
    EXPECT_EQ(ParseInteger("  -$1f", Int32Min, Int32Max, 0), -31);
    EXPECT_EQ(ParseInteger("12abc", Int32Min, Int32Max, 0), 12);
    EXPECT_EQ(ParseInteger("--5", Int32Min, Int32Max, 0), 5);
    EXPECT_EQ(ParseInteger("- 5", Int32Min, Int32Max, 0), -5);
    EXPECT_EQ(ParseInteger("+-+7", Int32Min, Int32Max, 0), -7);
    EXPECT_EQ(ParseInteger("$ FF", Int32Min, Int32Max, 0), 255);
    EXPECT_EQ(ParseInteger("$aB", Int32Min, Int32Max, 0), 171);
    EXPECT_EQ(ParseInteger("0x1F", Int32Min, Int32Max, 9), 0);
    EXPECT_EQ(ParseInteger("12 34", Int32Min, Int32Max, 0), 12);
    EXPECT_EQ(ParseInteger("1e5", Int32Min, Int32Max, 0), 1);
    EXPECT_EQ(ParseInteger("12.7", Int32Min, Int32Max, 0), 12);
}

TEST(ParseInteger, TextWithoutDigitsGivesTheDefaultUnclamped) {
    EXPECT_EQ(ParseInteger("", 0, 255, 7), 7);
    EXPECT_EQ(ParseInteger("abc", 0, 255, 1000), 1000);
    EXPECT_EQ(ParseInteger("  - ", 0, 255, -4), -4);
    EXPECT_EQ(ParseInteger("$", 0, 255, 3), 3);
    EXPECT_EQ(ParseInteger("$xyz", 0, 255, 3), 3);
}

TEST(ParseInteger, ClampsParsedValuesToTheLimits) {
    EXPECT_EQ(ParseInteger("999", 0, 255, 0), 255);
    EXPECT_EQ(ParseInteger("-5", 0, 255, 9), 0);
    EXPECT_EQ(ParseInteger("2147483647", Int32Min, Int32Max, 0), Int32Max);
    EXPECT_EQ(ParseInteger("-2147483648", Int32Min, Int32Max, 0), Int32Min);
    EXPECT_EQ(ParseInteger("2147483648", Int32Min, Int32Max, 0), Int32Max);
    EXPECT_EQ(ParseInteger("-2147483649", Int32Min, Int32Max, 0), Int32Min);
}

TEST(ParseInteger, HugeDigitRunsSaturateInsteadOfWrapping) {
    EXPECT_EQ(ParseInteger("99999999999999999999999999999999", Int32Min, Int32Max, 0), Int32Max);
    EXPECT_EQ(ParseInteger("-99999999999999999999999999999999", Int32Min, Int32Max, 0), Int32Min);
    EXPECT_EQ(ParseInteger("$FFFFFFFFFFFFFFFFFFFFFFFF", Int32Min, Int32Max, 0), Int32Max);
    EXPECT_EQ(ParseInteger("18446744073709551616", Int32Min, Int32Max, 0), Int32Max);
}

TEST(ParsePercent, ReportsAPercentSignAfterTheNumber) {
    TParsedPercent P = ParsePercent("50%");
    EXPECT_EQ(P.Value, 50);
    EXPECT_TRUE(P.HasPercent);
    P = ParsePercent(" -5  %");
    EXPECT_EQ(P.Value, -5);
    EXPECT_TRUE(P.HasPercent);
    P = ParsePercent("$10%");
    EXPECT_EQ(P.Value, 16);
    EXPECT_TRUE(P.HasPercent);
    P = ParsePercent("7");
    EXPECT_EQ(P.Value, 7);
    EXPECT_FALSE(P.HasPercent);
    P = ParsePercent("50 x %");
    EXPECT_EQ(P.Value, 50);
    EXPECT_FALSE(P.HasPercent);
    P = ParsePercent("none", 3);
    EXPECT_EQ(P.Value, 3);
    EXPECT_FALSE(P.HasPercent);
}

TEST(FormatPercent, SignsNonZeroValues) {
    EXPECT_EQ(FormatPercent(5), "+5%");
    EXPECT_EQ(FormatPercent(-12), "-12%");
    EXPECT_EQ(FormatPercent(0), "0%");
    EXPECT_EQ(FormatPercent(Int32Min), "-2147483648%");
    EXPECT_EQ(ParsePercent(FormatPercent(-250)).Value, -250);
}

} // namespace
