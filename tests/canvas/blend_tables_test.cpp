#include "canvas/blend_tables.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(BlendTables, MulRoundsAndItsUpperRowsMirrorTheLowerOnes) {
    const TBlendTables& T = BlendTables();
    EXPECT_EQ(T.Mul[255][200], 200);
    EXPECT_EQ(T.Mul[0][200], 0);
    EXPECT_EQ(T.Mul[128][255], 128);
    EXPECT_EQ(T.Mul[100][200], 78); // 20127 div 255
    for (int A = 128; A < 256; ++A)
        for (int B = 0; B < 256; ++B)
            ASSERT_EQ(T.Mul[A][B], B - T.Mul[255 - A][B]) << A << " " << B;
}

TEST(BlendTables, ScreenAndDivCombineCoverages) {
    const TBlendTables& T = BlendTables();
    EXPECT_EQ(T.Screen[128][0], 128);
    EXPECT_EQ(T.Screen[128][255], 255);
    EXPECT_EQ(T.Screen[100][200], 222);
    EXPECT_EQ(T.Div[128][128], 255);
    EXPECT_EQ(T.Div[0][77], 0);
    EXPECT_EQ(T.Div[200][100], 255); // b < a
    EXPECT_EQ(T.Div[100][222], 114); // (25500 + 1) div 222
    EXPECT_EQ(T.Div[255][255], 255);
}

TEST(BlendTables, SignedMulAddsBackIntoAByte) {
    const TBlendTables& T = BlendTables();
    for (int A : {0, 1, 77, 128, 254, 255})
        for (int C = 0; C < 256; C += 5)
            for (int S = 0; S < 256; S += 7) {
                int D = S - C;
                int Expected = C + (D < 0 ? -T.Mul[A][-D] : T.Mul[A][D]);
                ASSERT_EQ(T.Toward(uint8_t(A), uint8_t(C), uint8_t(S)), Expected);
            }
}

TEST(BlendTables, PowerCurvesBitsRootsAndCoverage) {
    const TBlendTables& T = BlendTables();
    EXPECT_EQ(T.Pow1[255][100], 100);
    EXPECT_EQ(T.Pow2[255][100], 100);
    EXPECT_EQ(T.Pow1[0][100], 0);
    EXPECT_EQ(T.Pow2[0][100], 255);
    EXPECT_EQ(T.Pow1[50][0], 0);
    EXPECT_EQ(T.Pow1[128][128], std::lround(255 * std::pow(128 / 255.0, 255 / 128.0)));
    EXPECT_EQ(T.Pow2[128][128], std::lround(255 * std::pow(128 / 255.0, 128 / 255.0)));
    EXPECT_EQ(T.Bits[0], 0);
    EXPECT_EQ(T.Bits[0xFF], 8);
    EXPECT_EQ(T.Bits[0xA5], 4);
    EXPECT_EQ(T.SQ[16384], 32768u);
    EXPECT_EQ(T.SQ[65536], 65536u);
    EXPECT_EQ(T.SQ[2], 362u);
    EXPECT_EQ(T.Coverage[64], 255);
    EXPECT_EQ(T.Coverage[32], 127);
    EXPECT_EQ(T.Brightness(255, 255, 255), 65280u);
    EXPECT_EQ(T.Brightness(128, 128, 128), 32768u);
}
