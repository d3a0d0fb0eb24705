// The stretch transition's three styles on frames whose red channel rises
// four steps per column (blue tells A = 1 from B = 2), so a picture squeezed
// to half its width rises eight steps per column.

#include "transform_test_support.h"

#include <gtest/gtest.h>

namespace {

using namespace TransformTest;

constexpr uint8_t FromA = 1, FromB = 2;

TVideoFrame Ramp(uint8_t Tag) {
    TVideoFrame Frame(Width, Height);
    for (int32_t Y = 0; Y < Height; ++Y)
        for (int32_t X = 0; X < Width; ++X)
            Frame.SetPixel(X, Y, MakeColor(uint8_t(4 * X), 100, Tag));
    return Frame;
}

std::unique_ptr<TVideoTransitionComponent> MakeStretch(const char* Style) {
    return MakeTransition(TransformClassIds::Stretch(), Properties({{"stretchStyle", Style}}));
}

// Columns [From, To) show Source: its own columns unchanged, or the whole
// picture squeezed to half its width starting at From.
void ExpectUnchanged(const TVideoFrame& Output, int32_t From, int32_t To, uint8_t Source) {
    for (int32_t X = From; X < To; ++X) {
        TColor P = Output.Pixel(X, 7);
        EXPECT_EQ(Blue(P), Source) << "column " << X;
        EXPECT_EQ(Red(P), 4 * X) << "column " << X;
    }
}

void ExpectHalved(const TVideoFrame& Output, int32_t From, int32_t To, uint8_t Source) {
    for (int32_t X = From; X < To; ++X) {
        TColor P = Output.Pixel(X, 7);
        EXPECT_EQ(Blue(P), Source) << "column " << X;
        // Squeezed column i shows the source between columns 2i and 2i + 1.
        EXPECT_NEAR(Red(P), 8 * (X - From) + 2, 1) << "column " << X;
        EXPECT_EQ(Green(P), 100);
    }
}

TEST(StretchTransition, StartShowsAAndEndShowsBInEveryStyle) {
    for (const char* Style : {"spin", "hide", "push"}) {
        auto Stretch = MakeStretch(Style);
        TVideoFrame A = Ramp(FromA), B = Ramp(FromB);
        ExpectUnchanged(Combine(*Stretch, At(0), A, B), 0, Width, FromA);
        ExpectUnchanged(Combine(*Stretch, At(1), A, B), 0, Width, FromB);
    }
}

TEST(StretchTransition, SpinGrowsBFromTheMiddleOverA) {
    auto Stretch = MakeStretch("spin");
    TVideoFrame A = Ramp(FromA), B = Ramp(FromB);
    TVideoFrame Half = Combine(*Stretch, At(0.5), A, B);
    ExpectUnchanged(Half, 0, 16, FromA);
    ExpectHalved(Half, 16, 48, FromB);
    ExpectUnchanged(Half, 48, Width, FromA);
    TVideoFrame Quarter = Combine(*Stretch, At(0.25), A, B);
    ExpectUnchanged(Quarter, 0, 24, FromA);
    EXPECT_EQ(Blue(Quarter.Pixel(24, 7)), FromB);
    EXPECT_EQ(Blue(Quarter.Pixel(39, 7)), FromB);
    ExpectUnchanged(Quarter, 40, Width, FromA);
}

TEST(StretchTransition, HideSqueezesAToTheLeftOverAStillB) {
    auto Stretch = MakeStretch("Hide");
    TVideoFrame Half = Combine(*Stretch, At(0.5), Ramp(FromA), Ramp(FromB));
    ExpectHalved(Half, 0, 32, FromA);
    ExpectUnchanged(Half, 32, Width, FromB);
}

TEST(StretchTransition, PushSqueezesBothPictures) {
    auto Stretch = MakeStretch("PUSH");
    TVideoFrame Half = Combine(*Stretch, At(0.5), Ramp(FromA), Ramp(FromB));
    ExpectHalved(Half, 0, 32, FromA);
    ExpectHalved(Half, 32, Width, FromB);
}

TEST(StretchTransition, StyleMissingSpins) {
    auto Stretch = MakeTransition(TransformClassIds::Stretch(), {});
    TVideoFrame Half = Combine(*Stretch, At(0.5), Ramp(FromA), Ramp(FromB));
    ExpectUnchanged(Half, 0, 16, FromA);
    ExpectHalved(Half, 16, 48, FromB);
}

TEST(StretchTransition, TranslucentPicturesSqueezeWithoutDarkFringes) {
    // A transparent pixel next to an opaque one: the squeezed pixel between
    // them keeps the opaque one's colour at half opacity.
    TVideoFrame A(2, 1), B(2, 1);
    A.SetPixel(0, 0, MakeColor(200, 0, 0, 255));
    A.SetPixel(1, 0, MakeColor(0, 0, 0, 0));
    B.Fill(MakeColor(0, 0, 200));
    auto Stretch = MakeStretch("hide");
    TVideoFrame Half = Combine(*Stretch, At(0.5), A, B);
    EXPECT_EQ(Red(Half.Pixel(0, 0)), 200);
    EXPECT_NEAR(Alpha(Half.Pixel(0, 0)), 128, 1);
    EXPECT_EQ(Half.Pixel(1, 0), MakeColor(0, 0, 200));
}

} // namespace
