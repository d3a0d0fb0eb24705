#include "platform/graphics/png_codec.h"

#include "hand_made_png.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

struct TBgra {
    uint8_t B, G, R, A;
    bool operator==(const TBgra&) const = default;
};

// A raster of BGRA pixels in a block with guard bytes on both sides, stored
// top-down or bottom-up; View() shows it as the codec sees it.
class TGuardedRaster {
public:
    enum class TOrder { TopDown, BottomUp };

    TGuardedRaster(int32_t Width, int32_t Height, TOrder Order)
        : FWidth(Width), FHeight(Height), FOrder(Order),
          FBytes(size_t(Width) * size_t(Height) * 4 + 2 * Guard, GuardByte) {}

    TPixelView View() {
        uint8_t* Block = FBytes.data() + Guard;
        int32_t RowBytes = FWidth * 4;
        if (FOrder == TOrder::TopDown)
            return {Block, FWidth, FHeight, RowBytes};
        return {Block + size_t(FHeight - 1) * size_t(RowBytes), FWidth, FHeight, -RowBytes};
    }
    TBgra At(int32_t X, int32_t Y) {
        const uint8_t* P = View().At(X, Y);
        return {P[0], P[1], P[2], P[3]};
    }
    void Put(int32_t X, int32_t Y, TBgra Pixel) {
        uint8_t* P = View().At(X, Y);
        P[0] = Pixel.B, P[1] = Pixel.G, P[2] = Pixel.R, P[3] = Pixel.A;
    }
    bool GuardsIntact() const {
        for (size_t I = 0; I < Guard; ++I)
            if (FBytes[I] != GuardByte || FBytes[FBytes.size() - 1 - I] != GuardByte)
                return false;
        return true;
    }

private:
    static constexpr size_t Guard = 64;
    static constexpr uint8_t GuardByte = 0xA5;
    int32_t FWidth, FHeight;
    TOrder FOrder;
    std::vector<uint8_t> FBytes;
};

using TOrder = TGuardedRaster::TOrder;

// Three rows of two RGB pixels: red, green and blue from the top.
std::string ThreeColouredRows() {
    return HandMadePng(2, 3, TPngColourType::Rgb,
                       {255, 0, 0, 255, 0, 0, 0, 255, 0, 0, 255, 0, 0, 0, 255, 0, 0, 255});
}

constexpr TBgra Red{0, 0, 255, 255}, Green{0, 255, 0, 255}, Blue{255, 0, 0, 255};

// The fault a whole read of Bytes raises, or none.
std::optional<TPngFault> ReadFault(const std::string& Bytes, const TPngLimit& Limit = {64, 64}) {
    try {
        TPngReader Reader(Bytes, Limit);
        TGuardedRaster Raster(Reader.Size().Width, Reader.Size().Height, TOrder::TopDown);
        Reader.Read(Raster.View());
    } catch (const EPngError& Error) {
        return Error.Fault();
    }
    return std::nullopt;
}

struct TFileCloser {
    void operator()(std::FILE* File) const { std::fclose(File); }
};
using TFilePtr = std::unique_ptr<std::FILE, TFileCloser>;

TFilePtr FileHolding(const std::string& Bytes) {
    TFilePtr File(std::tmpfile());
    EXPECT_TRUE(File);
    EXPECT_EQ(std::fwrite(Bytes.data(), 1, Bytes.size(), File.get()), Bytes.size());
    std::rewind(File.get());
    return File;
}

} // namespace

TEST(PngCodec, RowsComeOutTopRowFirstWhateverTheRasterOrder) {
    std::string Png = ThreeColouredRows();
    for (TOrder Order : {TOrder::TopDown, TOrder::BottomUp}) {
        TPngReader Reader(Png, {64, 64});
        ASSERT_EQ(Reader.Size(), (TSize{2, 3}));
        TGuardedRaster Raster(2, 3, Order);
        Reader.Read(Raster.View());
        const char* Name = Order == TOrder::TopDown ? "top-down" : "bottom-up";
        EXPECT_EQ(Raster.At(1, 0), Red) << Name;
        EXPECT_EQ(Raster.At(0, 1), Green) << Name;
        EXPECT_EQ(Raster.At(1, 2), Blue) << Name;
        EXPECT_TRUE(Raster.GuardsIntact()) << Name;
    }
}

TEST(PngCodec, EncodingKeepsStraightAlphaExactlyFromEitherRasterOrder) {
    // Translucent pixels keep their colour as it is, not multiplied by alpha.
    const std::vector<TBgra> Pixels = {{10, 20, 30, 255}, {200, 100, 50, 128}, {255, 255, 255, 1},
                                       {7, 8, 9, 254},    {0, 0, 0, 0},       {90, 180, 250, 64}};
    for (TOrder Order : {TOrder::TopDown, TOrder::BottomUp}) {
        TGuardedRaster Source(3, 2, Order);
        for (int32_t I = 0; I < 6; ++I)
            Source.Put(I % 3, I / 3, Pixels[size_t(I)]);
        std::string Png = EncodePngPixels(Source.View());
        TPngReader Reader(Png, {3, 2});
        TGuardedRaster Decoded(3, 2, TOrder::TopDown);
        Reader.Read(Decoded.View());
        for (int32_t I = 0; I < 6; ++I)
            EXPECT_EQ(Decoded.At(I % 3, I / 3), Pixels[size_t(I)]) << "pixel " << I;
    }
}

TEST(PngCodec, PicturesWithoutAlphaComeOutOpaqueAndGreyIsSpreadToEveryChannel) {
    std::string GreyAlpha = HandMadePng(2, 1, TPngColourType::GreyAlpha, {77, 255, 200, 0});
    TPngReader Reader(GreyAlpha, {8, 8});
    TGuardedRaster Raster(2, 1, TOrder::TopDown);
    Reader.Read(Raster.View());
    EXPECT_EQ(Raster.At(0, 0), (TBgra{77, 77, 77, 255}));
    EXPECT_EQ(Raster.At(1, 0).A, 0);
    std::string Grey = HandMadePng(1, 1, TPngColourType::Grey, {40});
    TPngReader GreyReader(Grey, {8, 8});
    GreyReader.Read(Raster.View().Sub({0, 0, 1, 1}));
    EXPECT_EQ(Raster.At(0, 0), (TBgra{40, 40, 40, 255}));
}

TEST(PngCodec, HeaderClaimsBeyondTheLimitAreRefusedBeforeAnyPixelIsRead) {
    // The header claims 60000 x 60000 (14 GB of pixels) over one byte of
    // data: only the header may be looked at.
    std::string Liar = PngSignature() + PngHeaderChunk(60000, 60000, TPngColourType::Rgb) +
                       PngChunk("IDAT", "x") + PngChunk("IEND", "");
    try {
        TPngReader Reader(Liar, {4096, 4096});
        ADD_FAILURE() << "a 60000 x 60000 claim was accepted";
    } catch (const EPngError& Error) {
        EXPECT_EQ(Error.Fault(), TPngFault::TooLarge);
        EXPECT_STREQ(Error.what(), "picture size out of range");
    }
    EXPECT_EQ(TPngReader(Liar, NoPngLimit).Size(), (TSize{60000, 60000}));

    // Each side and the pixel count are limits of their own, inclusive.
    std::string Square = HandMadePng(30, 30, TPngColourType::Grey, std::vector<uint8_t>(900, 1));
    EXPECT_EQ(ReadFault(Square, {30, 30}), std::nullopt);
    EXPECT_EQ(ReadFault(Square, {29, 30}), TPngFault::TooLarge);
    EXPECT_EQ(ReadFault(Square, {30, 29}), TPngFault::TooLarge);
    EXPECT_EQ(ReadFault(Square, {100, 100, 900}), std::nullopt);
    EXPECT_EQ(ReadFault(Square, {100, 100, 899}), TPngFault::TooLarge);
}

TEST(PngCodec, DamagedStreamsRaiseDamaged) {
    std::string Good = ThreeColouredRows();
    std::string Truncated = Good.substr(0, Good.size() - 30);
    std::string BadCheckSum = Good;
    BadCheckSum[Good.size() - 20] ^= 0x5A; // inside the picture data
    std::string NoPictureData = PngSignature() + PngHeaderChunk(2, 3, TPngColourType::Rgb) + PngChunk("IEND", "");
    EXPECT_EQ(ReadFault(Good), std::nullopt);
    const std::vector<std::pair<const char*, std::string>> Cases = {
        {"empty", ""},
        {"not a PNG", std::string("BM\0\0\0\0", 6)},
        {"signature only", PngSignature()},
        {"truncated", Truncated},
        {"bad check sum", BadCheckSum},
        {"no picture data", NoPictureData}};
    for (const auto& [Name, Bytes] : Cases)
        EXPECT_EQ(ReadFault(Bytes), TPngFault::Damaged) << Name;
    try {
        TPngReader Reader(std::string_view(), {8, 8});
        ADD_FAILURE();
    } catch (const EPngError& Error) {
        EXPECT_STREQ(Error.what(), "no data");
    }
}

TEST(PngCodec, FilesAreReadFromTheirCurrentPosition) {
    TFilePtr File = FileHolding(ThreeColouredRows());
    TPngReader Reader(File.get(), {8, 8});
    TGuardedRaster Raster(2, 3, TOrder::BottomUp);
    Reader.Read(Raster.View());
    EXPECT_EQ(Raster.At(0, 0), Red);
    EXPECT_EQ(Raster.At(0, 2), Blue);
    TFilePtr Cut = FileHolding(ThreeColouredRows().substr(0, 20));
    EXPECT_THROW(TPngReader(Cut.get(), {8, 8}), EPngError);
}

TEST(PngCodec, EmptyPicturesAreNotEncoded) {
    try {
        EncodePngPixels({});
        ADD_FAILURE();
    } catch (const EPngError& Error) {
        EXPECT_EQ(Error.Fault(), TPngFault::CannotWrite);
    }
}

TEST(PngCodec, AnAnimationControlChunkBeforeThePictureDataMarksAnAnimation) {
    std::string Header = PngSignature() + PngHeaderChunk(1, 1, TPngColourType::Grey);
    std::string Control = PngChunk("acTL", std::string("\0\0\0\2\0\0\0\0", 8));
    std::string Data = PngChunk("IDAT", "x") + PngChunk("IEND", "");
    std::string Text = PngChunk("tEXt", std::string("Comment\0", 8) + std::string(3000, 'c'));
    EXPECT_TRUE(IsAnimatedPng(FileHolding(Header + Text + Control + Data).get()));
    EXPECT_FALSE(IsAnimatedPng(FileHolding(Header + Data + Control).get()));
    EXPECT_FALSE(IsAnimatedPng(FileHolding(HandMadePng(1, 1, TPngColourType::Grey, {9})).get()));
    EXPECT_FALSE(IsAnimatedPng(FileHolding(Header.substr(0, 12)).get()));
}
