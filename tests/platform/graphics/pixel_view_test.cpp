#include "platform/graphics/pixel_view.h"

#include "platform/graphics/color.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

TEST(RectTest, IntersectionOfDisjointRectanglesIsEmpty) {
    TRect A{0, 0, 10, 10}, B{10, 0, 20, 10};
    EXPECT_TRUE(A.Intersected(B).IsEmpty());
    EXPECT_FALSE(A.Intersects(B));
    EXPECT_EQ(A.Intersected({5, 5, 15, 15}), (TRect{5, 5, 10, 10}));
}

TEST(RectTest, UnionIgnoresEmptySidesAndContainsBoth) {
    TRect A{0, 0, 4, 4};
    EXPECT_EQ(A.United({}), A);
    EXPECT_EQ(TRect{}.United(A), A);
    EXPECT_EQ(A.United({10, -2, 12, 1}), (TRect{0, -2, 12, 4}));
    EXPECT_TRUE(A.United({10, -2, 12, 1}).Contains(TRect{10, -2, 12, 1}));
}

TEST(RectTest, ContainsExcludesRightAndBottomEdges) {
    TRect A = TRect::FromSize(2, 3, 4, 5);
    EXPECT_TRUE(A.Contains(TPoint{2, 3}));
    EXPECT_TRUE(A.Contains(TPoint{5, 7}));
    EXPECT_FALSE(A.Contains(TPoint{6, 7}));
    EXPECT_FALSE(A.Contains(TPoint{5, 8}));
    EXPECT_EQ(A.Translated(-2, -3), (TRect{0, 0, 4, 5}));
    EXPECT_EQ(A.Inflated(1, 1), (TRect{1, 2, 7, 9}));
}

TEST(PixelViewTest, BottomUpStorageReadsTopRowFirst) {
    // Three stored rows, bottom row first in memory.
    std::vector<uint8_t> Bytes(2 * 3 * 4, 0);
    Bytes[0] = 1;      // stored row 0 = bottom row on screen
    Bytes[2 * 2 * 4] = 3; // stored row 2 = top row on screen
    TPixelView View{Bytes.data() + 2 * 2 * 4, 2, 3, -2 * 4};
    EXPECT_EQ(View.At(0, 0)[0], 3);
    EXPECT_EQ(View.At(0, 2)[0], 1);
}

TEST(PixelViewTest, SubViewIsClippedToTheView) {
    std::vector<uint8_t> Bytes(4 * 4 * 4, 0);
    TPixelView View{Bytes.data(), 4, 4, 16};
    TPixelView Part = View.Sub({2, 1, 10, 10});
    EXPECT_EQ(Part.Width, 2);
    EXPECT_EQ(Part.Height, 3);
    EXPECT_EQ(Part.At(0, 0), View.At(2, 1));
    EXPECT_TRUE(View.Sub({5, 5, 9, 9}).IsEmpty());
}

TEST(ColorTest, StoredColourAndBgraBytesConvertBothWays) {
    TColor Color = MakeColor(10, 20, 30, 40);
    uint8_t Pixel[4];
    ColorToBgra(Color, Pixel);
    EXPECT_EQ(Pixel[0], 30);
    EXPECT_EQ(Pixel[1], 20);
    EXPECT_EQ(Pixel[2], 10);
    EXPECT_EQ(Pixel[3], 40);
    EXPECT_EQ(BgraToColor(Pixel), Color);
    uint32_t Word = ColorToBgraWord(Color);
    EXPECT_EQ(std::memcmp(&Word, Pixel, 4), 0);
}
