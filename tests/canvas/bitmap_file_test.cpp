#include "canvas/pixels.h"

#include "canvas/canvas_error.h"
#include "core/global_memory_stream.h"
#include "pixels_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Saved(const TPixels& Pixels) {
    TGlobalMemoryStream Stream;
    Pixels.SaveToStream(Stream);
    return {Stream.Memory(), Stream.Memory() + Stream.Size()};
}

void Load(TPixels& Pixels, const std::vector<uint8_t>& Bytes) {
    TGlobalMemoryStream Stream;
    Stream.WriteBuffer(Bytes.data(), int64_t(Bytes.size()));
    Stream.Seek(0, TSeekOrigin::Beginning);
    Pixels.LoadFromStream(Stream);
}

bool SamePixels(const TPixels& A, const TPixels& B) {
    return A.Width() == B.Width() && A.Height() == B.Height() &&
           std::memcmp(A.Buffer(), B.Buffer(), A.BufferSize()) == 0;
}

// A bitmap file built byte by byte.
struct TFile {
    std::vector<uint8_t> Bytes;
    template <class T>
    TFile& Put(T Value) {
        for (size_t I = 0; I < sizeof(T); ++I)
            Bytes.push_back(uint8_t(uint64_t(Value) >> (8 * I)));
        return *this;
    }
    TFile& Raw(std::vector<uint8_t> More) {
        Bytes.insert(Bytes.end(), More.begin(), More.end());
        return *this;
    }
};

TFile InfoFile(int32_t Width, int32_t Height, uint16_t Bits, uint32_t Compression = 0, uint32_t Colors = 0,
               uint32_t ImageSize = 0) {
    TFile F;
    F.Put<uint16_t>(19778).Put<uint32_t>(0).Put<uint32_t>(0).Put<uint32_t>(0);
    F.Put<uint32_t>(40).Put<int32_t>(Width).Put<int32_t>(Height).Put<uint16_t>(1).Put<uint16_t>(Bits);
    F.Put<uint32_t>(Compression).Put<uint32_t>(ImageSize).Put<int32_t>(0).Put<int32_t>(0);
    F.Put<uint32_t>(Colors).Put<uint32_t>(0);
    return F;
}

} // namespace

TEST(BitmapFile, RoundTripKeepsPixelsAndStoresInvertedAlpha) {
    TPixels Pixels = Pattern(5, 3);
    std::vector<uint8_t> Bytes = Saved(Pixels);
    ASSERT_EQ(Bytes.size(), 54u + 5 * 3 * 4);
    EXPECT_EQ(Bytes[0], 'B');
    EXPECT_EQ(Bytes[1], 'M');
    // The first pixel in the file is the bottom-left one.
    TPixel BottomLeft = At(Pixels, 0, 2);
    EXPECT_EQ(Bytes[54], uint8_t(BottomLeft));
    EXPECT_EQ(Bytes[57], uint8_t(255 - (BottomLeft >> 24)));
    TPixels Loaded;
    Load(Loaded, Bytes);
    EXPECT_TRUE(SamePixels(Loaded, Pixels));
}

TEST(BitmapFile, SavingWithAClipInvertsEveryRowAndLeavesTheRasterAlone) {
    TPixels Pixels = Pattern(6, 4);
    TPixels Before(Pixels);
    Pixels.SetClipRect({1, 1, 3, 2});
    Pixels.Origin = {1, 1};
    std::vector<uint8_t> Bytes = Saved(Pixels);
    EXPECT_TRUE(SamePixels(Pixels, Before));
    for (int32_t Y = 0; Y < 4; ++Y)
        for (int32_t X = 0; X < 6; ++X)
            ASSERT_EQ(Bytes[54 + size_t((3 - Y) * 6 + X) * 4 + 3], uint8_t(255 - (At(Before, X, Y) >> 24)));
    TPixels Loaded;
    Load(Loaded, Bytes);
    EXPECT_TRUE(SamePixels(Loaded, Before));
}

namespace {

// A stream that takes only so many bytes.
class TShortStream : public TGlobalMemoryStream {
public:
    explicit TShortStream(int64_t Room) : FRoom(Room) {}
    int64_t Write(const void* Buffer, int64_t Count) override {
        Count = std::min(Count, FRoom);
        FRoom -= Count;
        return TGlobalMemoryStream::Write(Buffer, Count);
    }

private:
    int64_t FRoom;
};

} // namespace

TEST(BitmapFile, AWriteErrorLeavesTheRasterUnchanged) {
    TPixels Pixels = Pattern(4, 4);
    TPixels Before(Pixels);
    TShortStream Stream(70);
    EXPECT_THROW(Pixels.SaveToStream(Stream), EError);
    EXPECT_TRUE(SamePixels(Pixels, Before));
}

TEST(BitmapFile, TwentyFourBitFilesLoadOpaque) {
    // 2 x 2, rows padded to 8 bytes, bottom row first.
    TFile F = InfoFile(2, 2, 24);
    F.Raw({1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0});
    TPixels Pixels;
    Load(Pixels, F.Bytes);
    ASSERT_EQ(Pixels.Width(), 2);
    EXPECT_EQ(At(Pixels, 0, 1), Bgra(3, 2, 1));
    EXPECT_EQ(At(Pixels, 1, 1), Bgra(6, 5, 4));
    EXPECT_EQ(At(Pixels, 0, 0), Bgra(9, 8, 7));
    EXPECT_EQ(Pixels.AlphaKind(), TAlphaKind::Opaque);
}

TEST(BitmapFile, PaletteFilesLoadThroughThePalette) {
    TFile Eight = InfoFile(3, 1, 8, 0, 2);
    Eight.Raw({10, 20, 30, 0, 40, 50, 60, 0}).Raw({1, 0, 1, 0});
    TPixels Pixels;
    Load(Pixels, Eight.Bytes);
    EXPECT_EQ(At(Pixels, 0, 0), Bgra(60, 50, 40));
    EXPECT_EQ(At(Pixels, 1, 0), Bgra(30, 20, 10));
    EXPECT_EQ(At(Pixels, 2, 0), Bgra(60, 50, 40));

    TFile One = InfoFile(10, 1, 1);
    One.Raw({0, 0, 0, 0, 255, 255, 255, 0}).Raw({0xA0, 0x40, 0, 0});
    Load(Pixels, One.Bytes);
    EXPECT_EQ(At(Pixels, 0, 0), Bgra(255, 255, 255));
    EXPECT_EQ(At(Pixels, 1, 0), Bgra(0, 0, 0));
    EXPECT_EQ(At(Pixels, 2, 0), Bgra(255, 255, 255));
    EXPECT_EQ(At(Pixels, 9, 0), Bgra(255, 255, 255));
    EXPECT_EQ(Pixels.AlphaKind(), TAlphaKind::Opaque);
}

TEST(BitmapFile, RunLengthAndSixteenBitAndCoreHeaders) {
    TFile Rle = InfoFile(4, 2, 8, 1, 2, 10);
    Rle.Raw({0, 0, 0, 0, 255, 0, 0, 0}).Raw({4, 1, 0, 0, 2, 0, 2, 1, 0, 1});
    TPixels Pixels;
    Load(Pixels, Rle.Bytes);
    EXPECT_EQ(At(Pixels, 3, 1), Bgra(0, 0, 255)); // bottom row: four of index 1
    EXPECT_EQ(At(Pixels, 0, 0), Bgra(0, 0, 0));
    EXPECT_EQ(At(Pixels, 2, 0), Bgra(0, 0, 255));

    TFile Sixteen = InfoFile(1, 1, 16);
    Sixteen.Raw({0x00, 0x7C, 0, 0}); // 555: full red
    Load(Pixels, Sixteen.Bytes);
    EXPECT_EQ(At(Pixels, 0, 0), Bgra(255, 0, 0));

    TFile Core;
    Core.Put<uint16_t>(19778).Put<uint32_t>(0).Put<uint32_t>(0).Put<uint32_t>(0);
    Core.Put<uint32_t>(12).Put<uint16_t>(1).Put<uint16_t>(1).Put<uint16_t>(1).Put<uint16_t>(24);
    Core.Raw({9, 8, 7, 0});
    Load(Pixels, Core.Bytes);
    EXPECT_EQ(At(Pixels, 0, 0), Bgra(7, 8, 9));
}

TEST(BitmapFile, TopDownThirtyTwoBitFilesLoadOpaque) {
    TFile F = InfoFile(1, -2, 32);
    F.Raw({1, 2, 3, 0, 4, 5, 6, 0});
    TPixels Pixels;
    Load(Pixels, F.Bytes);
    EXPECT_EQ(At(Pixels, 0, 0), Bgra(3, 2, 1));
    EXPECT_EQ(At(Pixels, 0, 1), Bgra(6, 5, 4));
}

struct TDamagedCase {
    const char* Name;
    std::vector<uint8_t> Bytes;
};

class DamagedBitmapTest : public testing::TestWithParam<TDamagedCase> {};

TEST_P(DamagedBitmapTest, RaisesAndLeavesTheRasterAsItWas) {
    TPixels Pixels = Pattern(3, 2);
    Pixels.SetClipRect({1, 0, 2, 2});
    TPixels Before(Pixels);
    EXPECT_THROW(Load(Pixels, GetParam().Bytes), ECanvasError);
    EXPECT_TRUE(SamePixels(Pixels, Before));
    EXPECT_EQ(Pixels.ClipRect(), Before.ClipRect());
}

namespace {

std::vector<uint8_t> Truncated(std::vector<uint8_t> Bytes, size_t Size) {
    Bytes.resize(Size);
    return Bytes;
}

TDamagedCase Damaged(const char* Name, TFile File) {
    return {Name, File.Bytes};
}

} // namespace

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedBitmapTest,
    testing::Values(
        Damaged("OversizedWidth", InfoFile(20000, 1, 32).Raw(std::vector<uint8_t>(16, 0))),
        Damaged("OversizedHeight", InfoFile(1, 16385, 24)),
        Damaged("NegativeWidth", InfoFile(-4, 1, 32)),
        Damaged("HugeNegativeHeight", InfoFile(1, -20000, 24)),
        Damaged("OversizedCoreHeader",
                TFile().Put<uint16_t>(19778).Put<uint32_t>(0).Put<uint32_t>(0).Put<uint32_t>(0).Put<uint32_t>(12)
                    .Put<uint16_t>(20000).Put<uint16_t>(1).Put<uint16_t>(1).Put<uint16_t>(24)),
        Damaged("WrongSignature", TFile().Put<uint16_t>(0x4D43).Put<uint32_t>(0)),
        Damaged("UnknownHeaderSize",
                TFile().Put<uint16_t>(19778).Put<uint32_t>(0).Put<uint32_t>(0).Put<uint32_t>(0).Put<uint32_t>(108)),
        TDamagedCase{"TruncatedHeader", Truncated(InfoFile(2, 2, 32).Bytes, 30)},
        Damaged("TruncatedPixels", InfoFile(4, 4, 32).Raw({1, 2, 3, 4, 5})),
        Damaged("TruncatedPalettePixels", InfoFile(8, 8, 8, 0, 2).Raw({0, 0, 0, 0, 1, 1, 1, 0, 1})),
        Damaged("RunLengthPastTheData", InfoFile(4, 2, 8, 1, 2, 4).Raw({0, 0, 0, 0, 1, 1, 1, 0}).Raw({4, 1, 0, 0})),
        Damaged("UnknownBitCount", InfoFile(1, 1, 7).Raw({0, 0, 0, 0})),
        Damaged("EmptyStream", TFile())),
    [](const testing::TestParamInfo<TDamagedCase>& Info) { return std::string(Info.param.Name); });
