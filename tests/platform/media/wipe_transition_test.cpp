// The wipe transition: A alone at the start, B alone at the end, the edge
// moving steadily in between, the soft border, and the wipe in a timeline.

#include "platform/media/media_renderer.h"
#include "platform/media/transform_components.h"
#include "platform/media/wipe_patterns.h"
#include "transform_test_support.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using namespace TransformTest;

const TColor Black = MakeColor(0, 0, 0), White = MakeColor(255, 255, 255);

std::unique_ptr<TVideoTransitionComponent> MakeWipe(int32_t Code, int32_t Softness = 0) {
    return MakeTransition(TransformClassIds::Wipe(),
                          Properties({{"MaskNum", std::to_string(Code)},
                                      {"BorderSoftness", std::to_string(Softness)}}));
}

// How much of B each pixel shows: A black, B white, so the red channel.
std::vector<uint8_t> ShareOfB(TVideoTransitionComponent& Wipe, double Progress) {
    TVideoFrame Output = Combine(Wipe, At(Progress), Solid(Black), Solid(White));
    std::vector<uint8_t> Shares;
    for (int32_t Y = 0; Y < Height; ++Y)
        for (int32_t X = 0; X < Width; ++X)
            Shares.push_back(Red(Output.Pixel(X, Y)));
    return Shares;
}

int32_t Count(const std::vector<uint8_t>& Shares, uint8_t Value) {
    return int32_t(std::count(Shares.begin(), Shares.end(), Value));
}

TEST(WipeTransition, EveryCodeStartsWithAEndsWithBAndNeverGoesBack) {
    for (int32_t Softness : {0, 100}) {
        for (int32_t Code : WipeCodes()) {
            auto Wipe = MakeWipe(Code, Softness * 255 / 100);
            std::vector<uint8_t> Before = ShareOfB(*Wipe, 0);
            EXPECT_EQ(Count(Before, 0), Width * Height) << "code " << Code;
            bool Monotone = true;
            for (int32_t Step = 1; Step <= 20; ++Step) {
                std::vector<uint8_t> Now = ShareOfB(*Wipe, Step / 20.0);
                for (size_t I = 0; I < Now.size(); ++I)
                    Monotone = Monotone && Now[I] >= Before[I];
                Before = std::move(Now);
            }
            EXPECT_TRUE(Monotone) << "code " << Code << " softness " << Softness;
            EXPECT_EQ(Count(Before, 255), Width * Height) << "code " << Code;
        }
    }
}

TEST(WipeTransition, HalfWayShowsTheDocumentedShareOfEachInput) {
    const std::pair<int32_t, double> Shares[] = {{1, 0.5},   {3, 0.25},  {21, 0.5},   {41, 0.5},
                                                 {45, 0.75}, {61, 0.5},  {101, 0.25}, {102, 0.5},
                                                 {201, 0.5}, {211, 0.5}, {301, 0.5},  {310, 0.5},
                                                 {340, 0.5}, {350, 0.5}, {409, 0.5}};
    for (auto [Code, Expected] : Shares) {
        auto Wipe = MakeWipe(Code);
        std::vector<uint8_t> Half = ShareOfB(*Wipe, 0.5);
        EXPECT_EQ(Count(Half, 0) + Count(Half, 255), Width * Height) << "code " << Code;
        EXPECT_NEAR(double(Count(Half, 255)) / (Width * Height), Expected, 0.03) << "code " << Code;
    }
}

TEST(WipeTransition, BarWipeBringsBInFromTheLeftEdge) {
    auto Wipe = MakeWipe(1);
    TVideoFrame A = Numbered(1), B = Numbered(2);
    TVideoFrame Output = Combine(*Wipe, At(0.25), A, B);
    EXPECT_EQ(Output.Pixel(0, 5), B.Pixel(0, 5));
    EXPECT_EQ(Output.Pixel(15, 5), B.Pixel(15, 5));
    EXPECT_EQ(Output.Pixel(16, 5), A.Pixel(16, 5));
    EXPECT_EQ(Output.Pixel(63, 40), A.Pixel(63, 40));
}

TEST(WipeTransition, SoftBorderBlendsOnlyNearTheEdge) {
    auto Hard = MakeWipe(1, 0), Soft = MakeWipe(1, 255);
    std::vector<uint8_t> HardHalf = ShareOfB(*Hard, 0.5), SoftHalf = ShareOfB(*Soft, 0.5);
    EXPECT_EQ(Count(HardHalf, 0) + Count(HardHalf, 255), Width * Height);
    // The widest band is a fifth of the travel, centred on the hard edge
    // half-way: about 13 of 64 columns blend.
    int32_t Blended = 0;
    for (int32_t X = 0; X < Width; ++X) {
        uint8_t Share = SoftHalf[size_t(X)];
        double Travel = (X + 0.5) / Width;
        if (Travel < 0.38) {
            EXPECT_EQ(Share, 255) << "column " << X;
        } else if (Travel > 0.62) {
            EXPECT_EQ(Share, 0) << "column " << X;
        }
        if (X > 0) {
            EXPECT_LE(Share, SoftHalf[size_t(X - 1)]) << "column " << X;
        }
        Blended += Share != 0 && Share != 255;
    }
    EXPECT_GE(Blended, 10);
    EXPECT_LE(Blended, 14);
    // Every row alike.
    for (int32_t Y = 1; Y < Height; ++Y)
        EXPECT_EQ(SoftHalf[size_t(Y * Width + 20)], SoftHalf[20]);
}

TEST(WipeTransition, SoftnessFollowsItsKeyValues) {
    auto BlendedPixels = [](TVideoTransitionComponent& Wipe, double Progress) {
        std::vector<uint8_t> Shares = ShareOfB(Wipe, Progress);
        return Width * Height - Count(Shares, 0) - Count(Shares, 255);
    };
    // Hard until half-way, then soft at once.
    TPropertySetter Jump = Properties({{"MaskNum", "1"}});
    Jump.AddValue("BorderSoftness", 0, "0");
    Jump.AddValue("BorderSoftness", Second / 2, "255");
    auto Stepped = MakeTransition(TransformClassIds::Wipe(), std::move(Jump));
    EXPECT_EQ(BlendedPixels(*Stepped, 0.45), 0);
    EXPECT_GT(BlendedPixels(*Stepped, 0.55), 0);
    // Softening steadily: the band widens.
    TPropertySetter Ramp = Properties({{"MaskNum", "1"}});
    Ramp.AddValue("BorderSoftness", 0, "0");
    Ramp.AddValue("BorderSoftness", Second, "255", TKeyBlend::Interpolate);
    auto Widening = MakeTransition(TransformClassIds::Wipe(), std::move(Ramp));
    EXPECT_GT(BlendedPixels(*Widening, 0.3), 0);
    EXPECT_GT(BlendedPixels(*Widening, 0.6), BlendedPixels(*Widening, 0.3));
}

TEST(WipeTransition, PropertyNamesIgnoreCaseAndMaskNumMayChangeOverTime) {
    TPropertySetter Values;
    Values.AddValue("masknum", 0, "1");
    Values.AddValue("MASKNUM", Second / 2, "2");
    auto Wipe = MakeTransition(TransformClassIds::Wipe(), std::move(Values));
    TVideoFrame Early = Combine(*Wipe, At(0.25), Solid(Black), Solid(White));
    EXPECT_EQ(Early.Pixel(2, Height - 1), White); // the bar from the left
    TVideoFrame Late = Combine(*Wipe, At(0.75), Solid(Black), Solid(White));
    EXPECT_EQ(Late.Pixel(Width - 1, 2), White); // the bar from the top
    EXPECT_EQ(Late.Pixel(2, Height - 1), Black);
}

TEST(WipeTransition, ProgressKeysDriveTheEdge) {
    TPropertySetter Values = Properties({{"MaskNum", "1"}});
    Values.AddValue("progress", 0, "1");
    Values.AddValue("progress", Second, "0", TKeyBlend::Interpolate);
    auto Wipe = MakeTransition(TransformClassIds::Wipe(), std::move(Values));
    std::vector<uint8_t> Shares = ShareOfB(*Wipe, 0.25); // progress 0.75
    EXPECT_NEAR(double(Count(Shares, 255)) / (Width * Height), 0.75, 0.02);
}

class WipeTransitionInATimeline : public ::testing::Test {
protected:
    TColor At(TVideoTime Time, int32_t X, int32_t Y) {
        Renderer.RenderVideo(Time, Picture);
        return Picture.Pixel(X, Y);
    }

    TMediaTimeline Timeline;
    TMediaGroup* Video = Timeline.AddGroup(TMediaGroup::Video({Width, Height, 400000}));
    TMediaRenderer Renderer{Timeline};
    TVideoFrame Picture;
    const TColor Red = MakeColor(255, 0, 0), Blue = MakeColor(0, 0, 255);
};

TEST_F(WipeTransitionInATimeline, FollowsItsRangeAndSwappedInputsSwapTheResult) {
    TMediaTrack* Lower = Video->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    TMediaTrack* Upper = Video->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    AddColour(Lower, 0, 3 * Second, Red);
    AddColour(Upper, Second, 3 * Second, Blue);
    TMediaTransition* Wipe = Upper->TransAdd(Node<TMediaTransition>(
        TransformClassIds::Wipe(), Properties({{"MaskNum", "1"}}), Second, 2 * Second));
    // Start: only what lies beneath; middle: the upper track's left half;
    // last frame: all but the last columns; after: the upper track.
    EXPECT_EQ(At(Second, 0, 0), Red);
    EXPECT_EQ(At(Second, Width - 1, 0), Red);
    EXPECT_EQ(At(Second + Second / 2, Width / 2 - 1, 10), Blue);
    EXPECT_EQ(At(Second + Second / 2, Width / 2, 10), Red);
    EXPECT_EQ(At(2 * Second - 400000, Width - 4, 10), Blue);
    EXPECT_EQ(At(2 * Second - 400000, Width - 1, 10), Red);
    EXPECT_EQ(At(2 * Second, Width - 1, 10), Blue);
    // Swapped: the upper track gives way to what lies beneath.
    Wipe->SetSwapInputs(true);
    EXPECT_EQ(At(Second, 0, 0), Blue);
    EXPECT_EQ(At(Second + Second / 4, Width / 4 - 1, 10), Red);
    EXPECT_EQ(At(Second + Second / 4, Width / 4, 10), Blue);
}

} // namespace
