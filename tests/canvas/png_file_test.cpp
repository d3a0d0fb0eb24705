#include "canvas/pixels.h"

#include "canvas/canvas_error.h"
#include "core/global_memory_stream.h"
#include "hand_made_png.h"
#include "pixels_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <unistd.h>
#include <vector>

namespace {

std::vector<uint8_t> SavedPng(const TPixels& Pixels) {
    TGlobalMemoryStream Stream;
    Pixels.SaveToPngStream(Stream);
    return {Stream.Memory(), Stream.Memory() + Stream.Size()};
}

void LoadPng(TPixels& Pixels, const std::vector<uint8_t>& Bytes) {
    TGlobalMemoryStream Stream;
    Stream.WriteBuffer(Bytes.data(), int64_t(Bytes.size()));
    Stream.Seek(0, TSeekOrigin::Beginning);
    Pixels.LoadFromPngStream(Stream);
}

// A PNG of 8-bit samples in a colour type of the test's choosing.
std::vector<uint8_t> EncodePng(uint32_t Width, uint32_t Height, TPngColourType Type,
                               const std::vector<uint8_t>& Rows) {
    std::string Bytes = HandMadePng(Width, Height, Type, Rows);
    return {Bytes.begin(), Bytes.end()};
}

bool SamePixels(const TPixels& A, const TPixels& B) {
    return A.Width() == B.Width() && A.Height() == B.Height() &&
           std::memcmp(A.Buffer(), B.Buffer(), A.BufferSize()) == 0;
}

} // namespace

TEST(PngFile, RoundTripKeepsColourAndAlphaAndZeroesClearPixels) {
    TPixels Pixels = Pattern(7, 5);
    Put(Pixels, 2, 2, Bgra(9, 9, 9, 0));
    Pixels.SetClipRect({1, 1, 3, 3});
    std::vector<uint8_t> Bytes = SavedPng(Pixels);
    TPixels Loaded;
    LoadPng(Loaded, Bytes);
    ASSERT_EQ(Loaded.Width(), 7);
    ASSERT_EQ(Loaded.Height(), 5);
    for (int32_t Y = 0; Y < 5; ++Y)
        for (int32_t X = 0; X < 7; ++X) {
            TPixel P = At(Pixels, X, Y);
            ASSERT_EQ(At(Loaded, X, Y), P >> 24 ? P : 0u) << X << "," << Y;
        }
}

TEST(PngFile, PicturesWithoutAlphaLoadOpaqueTheRightWayUp) {
    // Two rows, RGB: red on top, blue below.
    std::vector<uint8_t> Rows = {255, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255};
    TPixels Pixels;
    LoadPng(Pixels, EncodePng(2, 2, TPngColourType::Rgb, Rows));
    EXPECT_EQ(At(Pixels, 1, 0), Bgra(255, 0, 0));
    EXPECT_EQ(At(Pixels, 0, 1), Bgra(0, 0, 255));
    EXPECT_EQ(Pixels.AlphaKind(), TAlphaKind::Opaque);
    LoadPng(Pixels, EncodePng(1, 1, TPngColourType::GreyAlpha, {200, 100}));
    EXPECT_EQ(At(Pixels, 0, 0), Bgra(200, 200, 200, 100));
}

TEST(PngFile, FilesAreChosenByExtension) {
    auto Folder = std::filesystem::temp_directory_path() / ("qm_png_" + std::to_string(::getpid()));
    std::filesystem::create_directories(Folder);
    TPixels Pixels = Pattern(3, 3);
    for (const char* Name : {"a.png", "b.BMP", "c.dib"}) {
        std::string File = (Folder / Name).string();
        Pixels.SaveToFile(File);
        TPixels Loaded;
        Loaded.LoadFromFile(File);
        bool Png = std::string(Name) == "a.png"; // PNG writes clear pixels as zeros
        for (int32_t Y = 0; Y < 3; ++Y)
            for (int32_t X = 0; X < 3; ++X) {
                TPixel P = At(Pixels, X, Y);
                ASSERT_EQ(At(Loaded, X, Y), Png && !(P >> 24) ? 0u : P) << Name;
            }
    }
    TPixels Loaded;
    EXPECT_THROW(Loaded.LoadFromFile((Folder / "a.gif").string()), EError);
    std::filesystem::remove_all(Folder);
}

struct TDamagedPngCase {
    const char* Name;
    std::vector<uint8_t> (*Make)();
};

class DamagedPngTest : public testing::TestWithParam<TDamagedPngCase> {};

TEST_P(DamagedPngTest, RaisesAndLeavesTheRasterAsItWas) {
    TPixels Pixels = Pattern(4, 3);
    TPixels Before(Pixels);
    EXPECT_THROW(LoadPng(Pixels, GetParam().Make()), ECanvasError);
    EXPECT_TRUE(SamePixels(Pixels, Before));
}

namespace {

std::vector<uint8_t> GoodPng() {
    TPixels Pixels = Pattern(16, 16);
    return SavedPng(Pixels);
}

} // namespace

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedPngTest,
    testing::Values(
        TDamagedPngCase{"Oversized",
                        [] { return EncodePng(20000, 1, TPngColourType::Grey, std::vector<uint8_t>(20000, 7)); }},
        TDamagedPngCase{"Truncated",
                        [] {
                            auto Bytes = GoodPng();
                            Bytes.resize(Bytes.size() / 2);
                            return Bytes;
                        }},
        TDamagedPngCase{"CorruptData",
                        [] {
                            auto Bytes = GoodPng();
                            for (size_t I = 60; I < Bytes.size() - 20; I += 3)
                                Bytes[I] ^= 0x5A;
                            return Bytes;
                        }},
        TDamagedPngCase{"NotAPng", [] { return std::vector<uint8_t>{'B', 'M', 0, 0, 0, 0}; }},
        TDamagedPngCase{"Empty", [] { return std::vector<uint8_t>{}; }}),
    [](const testing::TestParamInfo<TDamagedPngCase>& Info) { return std::string(Info.param.Name); });
