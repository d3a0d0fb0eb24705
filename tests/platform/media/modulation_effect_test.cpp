// The modulation effect: the volume swings "freq" times a second, as a sine
// or a square, starting at full volume, and stays continuous across blocks
// and changing frequencies.

#include "transform_audio_test_support.h"

#include <gtest/gtest.h>

namespace {

using namespace TransformTest;

std::unique_ptr<TAudioEffectComponent> MakeModulation(TPropertySetter Values) {
    return MakeAudioEffect(TransformClassIds::Modulation(), std::move(Values));
}

// The gains over Seconds from the effect's start, in one block.
std::vector<float> Gains(TAudioEffectComponent& Effect, double Seconds, TVideoTime Start = 0) {
    auto Frames = int32_t(Seconds * AudioFormat.SamplesPerSecond);
    std::vector<float> Samples = Constant(Frames, AudioFormat.Channels, 1.0f);
    Effect.Apply(Start, Start, Start + 10 * Second, AudioFormat, Samples.data(), Frames);
    std::vector<float> Left;
    for (int32_t I = 0; I < Frames; ++I)
        Left.push_back(Samples[size_t(I) * 2]);
    return Left;
}

TEST(ModulationEffect, SineSwingsFromFullToSilenceFreqTimesASecond) {
    auto Effect = MakeModulation(Properties({{"freq", "10"}, {"form", "0"}}));
    const TVideoTime Start = 2 * Second;
    auto Gain = [&](double Seconds) {
        return GainAt(*Effect, Start + TVideoTime(Seconds * Second), Start, Start + Second);
    };
    EXPECT_NEAR(Gain(0), 1, 1e-6);
    EXPECT_NEAR(Gain(0.025), 0.5, 1e-6);
    EXPECT_NEAR(Gain(0.05), 0, 1e-6);
    EXPECT_NEAR(Gain(0.1), 1, 1e-6);
    EXPECT_NEAR(Gain(0.55), 0, 1e-6);
}

TEST(ModulationEffect, SquareHoldsFullAndSilenceWithSoftEdges) {
    auto Effect = MakeModulation(Properties({{"FREQ", "10"}, {"Form", "1"}}));
    std::vector<float> G = Gains(*Effect, 0.1);
    EXPECT_NEAR(G[80], 1, 1e-6);    // 0.01 s
    EXPECT_NEAR(G[200], 0.5, 1e-6); // the edge, a quarter period in
    EXPECT_NEAR(G[320], 0, 1e-6);   // 0.04 s
    EXPECT_NEAR(G[720], 1, 1e-6);   // 0.09 s
    // Full or silent for most of the period; no jump between neighbours.
    int32_t Held = 0;
    for (size_t I = 0; I < G.size(); ++I) {
        Held += G[I] == 1.0f || G[I] == 0.0f;
        if (I > 0) {
            EXPECT_LT(std::fabs(G[I] - G[I - 1]), 0.05f) << "sample " << I;
        }
    }
    EXPECT_GT(Held, int32_t(G.size()) * 8 / 10);
}

TEST(ModulationEffect, DefaultsToTenSwingsASecond) {
    auto Effect = MakeModulation({});
    EXPECT_NEAR(GainAt(*Effect, Second / 20, 0, Second), 0, 1e-6);
    EXPECT_NEAR(GainAt(*Effect, Second / 10, 0, Second), 1, 1e-6);
}

TEST(ModulationEffect, BlocksJoinWithoutAJump) {
    auto Whole = MakeModulation(Properties({{"freq", "7"}}));
    std::vector<float> One = Gains(*Whole, 0.2, Second);
    auto Split = MakeModulation(Properties({{"freq", "7"}}));
    std::vector<float> First = Constant(800, 2, 1.0f), Second800 = Constant(800, 2, 1.0f);
    Split->Apply(Second, Second, 11 * Second, AudioFormat, First.data(), 800);
    Split->Apply(Second + Second / 10, Second, 11 * Second, AudioFormat, Second800.data(), 800);
    EXPECT_FLOAT_EQ(First[799 * 2], One[799]);
    EXPECT_FLOAT_EQ(Second800[0], One[800]);
    EXPECT_FLOAT_EQ(Second800[799 * 2], One[1599]);
}

TEST(ModulationEffect, ChangingFrequencyBendsTheSwingSmoothly) {
    // From 10 to 20 swings a second over one second: 15 swings in all.
    TPropertySetter Values;
    Values.AddValue("freq", 0, "10");
    Values.AddValue("freq", Second, "20", TKeyBlend::Interpolate);
    auto Effect = MakeModulation(std::move(Values));
    std::vector<float> G = Gains(*Effect, 1.0);
    int32_t Troughs = 0;
    for (size_t I = 1; I + 1 < G.size(); ++I) {
        Troughs += G[I] < G[I - 1] && G[I] <= G[I + 1];
        // At most 20 swings a second: the gain moves less than pi * 20 / rate.
        EXPECT_LT(std::fabs(G[I] - G[I - 1]), 0.0085f) << "sample " << I;
    }
    EXPECT_EQ(Troughs, 15);
}

} // namespace
