// The slide transition's three styles, checked by where each output pixel
// comes from: the numbered frames carry their column in red and their source
// in blue (1 = A, 2 = B).

#include "transform_test_support.h"

#include <gtest/gtest.h>

namespace {

using namespace TransformTest;

constexpr uint8_t FromA = 1, FromB = 2;

std::unique_ptr<TVideoTransitionComponent> MakeSlide(const char* Style) {
    return MakeTransition(TransformClassIds::Slide(), Properties({{"slideStyle", Style}}));
}

// For each column of the middle row: which frame and which column it shows.
struct TOrigin {
    uint8_t Source;
    int32_t Column;
    bool operator==(const TOrigin&) const = default;
};

TOrigin OriginAt(const TVideoFrame& Output, int32_t X) {
    TColor P = Output.Pixel(X, Height / 2);
    EXPECT_EQ(Green(P), Height / 2) << "rows must not move";
    return {Blue(P), Red(P)};
}

void ExpectColumns(const TVideoFrame& Output, int32_t From, int32_t To, uint8_t Source,
                   int32_t Shift) {
    for (int32_t X = From; X < To; ++X)
        EXPECT_EQ(OriginAt(Output, X), (TOrigin{Source, X + Shift})) << "column " << X;
}

TEST(SlideTransition, StartShowsAAndEndShowsBInEveryStyle) {
    for (const char* Style : {"hide", "push", "swap"}) {
        auto Slide = MakeSlide(Style);
        TVideoFrame A = Numbered(FromA), B = Numbered(FromB);
        TVideoFrame Start = Combine(*Slide, At(0), A, B), End = Combine(*Slide, At(1), A, B);
        ExpectColumns(Start, 0, Width, FromA, 0);
        ExpectColumns(End, 0, Width, FromB, 0);
    }
}

TEST(SlideTransition, HideMovesAOutToTheLeftOverAStillB) {
    auto Slide = MakeSlide("hide");
    TVideoFrame Output = Combine(*Slide, At(0.25), Numbered(FromA), Numbered(FromB));
    ExpectColumns(Output, 0, 48, FromA, 16);
    ExpectColumns(Output, 48, Width, FromB, 0);
}

TEST(SlideTransition, PushBringsBInFromTheRightAlongWithA) {
    auto Slide = MakeSlide("PUSH");
    TVideoFrame Output = Combine(*Slide, At(0.25), Numbered(FromA), Numbered(FromB));
    ExpectColumns(Output, 0, 48, FromA, 16);
    ExpectColumns(Output, 48, Width, FromB, -48);
}

TEST(SlideTransition, SwapMovesThePicturesApartAndBackWithBOnTopInTheSecondHalf) {
    auto Slide = MakeSlide("Swap");
    TVideoFrame A = Numbered(FromA), B = Numbered(FromB);
    // A quarter: a quarter of the width apart, A on top.
    TVideoFrame Early = Combine(*Slide, At(0.25), A, B);
    ExpectColumns(Early, 0, 48, FromA, 16);
    ExpectColumns(Early, 48, Width, FromB, -16);
    // Three quarters: as far apart, B on top.
    TVideoFrame Late = Combine(*Slide, At(0.75), A, B);
    ExpectColumns(Late, 0, 16, FromA, 16);
    ExpectColumns(Late, 16, Width, FromB, -16);
    // Half-way each shows half.
    TVideoFrame Half = Combine(*Slide, At(0.5), A, B);
    ExpectColumns(Half, 0, 32, FromA, 32);
    ExpectColumns(Half, 32, Width, FromB, -32);
}

TEST(SlideTransition, StyleMissingOrUnknownHides) {
    TVideoFrame A = Numbered(FromA), B = Numbered(FromB);
    auto Hide = MakeSlide("hide");
    TVideoFrame Expected = Combine(*Hide, At(0.25), A, B);
    auto Missing = MakeTransition(TransformClassIds::Slide(), {});
    auto Unknown = MakeSlide("sideways");
    for (auto* Slide : {Missing.get(), Unknown.get()}) {
        TVideoFrame Output = Combine(*Slide, At(0.25), A, B);
        for (int32_t X = 0; X < Width; ++X)
            EXPECT_EQ(Output.Pixel(X, 3), Expected.Pixel(X, 3));
    }
}

TEST(SlideTransition, OddWidthsStayInsideTheFrames) {
    auto Slide = MakeSlide("swap");
    TVideoFrame A = Numbered(FromA, 5, 3), B = Numbered(FromB, 5, 3);
    for (int32_t Step = 0; Step <= 10; ++Step) {
        TVideoFrame Output = Combine(*Slide, At(Step / 10.0), A, B);
        for (int32_t X = 0; X < 5; ++X) {
            uint8_t Source = Blue(Output.Pixel(X, 1));
            EXPECT_TRUE(Source == FromA || Source == FromB);
        }
    }
}

} // namespace
