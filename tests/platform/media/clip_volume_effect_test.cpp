// The clip volume: a plain "Vol", keyed volumes, the ramp of two keys and the
// envelope of a clip between transitions.

#include "transform_audio_test_support.h"

#include <gtest/gtest.h>

namespace {

using namespace TransformTest;

std::unique_ptr<TAudioEffectComponent> MakeVolume(TPropertySetter Values) {
    return MakeAudioEffect(TransformClassIds::ClipVolume(), std::move(Values));
}

TEST(ClipVolumeEffect, VolScalesTheAmplitudeOnlyWithinTheEffect) {
    auto Effect = MakeVolume(Properties({{"Vol", "0.25"}}));
    // Two seconds of 0.8; the effect covers the middle second.
    const int32_t Frames = 2 * AudioFormat.SamplesPerSecond;
    std::vector<float> Samples = Constant(Frames, AudioFormat.Channels, 0.8f);
    Effect->Apply(0, Second / 2, Second + Second / 2, AudioFormat, Samples.data(), Frames);
    auto At = [&](double Seconds, int32_t Channel) {
        return Samples[size_t(Seconds * AudioFormat.SamplesPerSecond) * 2 + size_t(Channel)];
    };
    EXPECT_FLOAT_EQ(At(0.25, 0), 0.8f);
    EXPECT_FLOAT_EQ(At(0.5, 0), 0.2f);
    EXPECT_FLOAT_EQ(At(1.0, 1), 0.2f);
    EXPECT_FLOAT_EQ(At(1.4999, 1), 0.2f);
    EXPECT_FLOAT_EQ(At(1.5, 0), 0.8f);
}

TEST(ClipVolumeEffect, VolOfZeroSilencesAndTwoDoubles) {
    auto Muted = MakeVolume(Properties({{"Vol", "0"}}));
    EXPECT_EQ(GainAt(*Muted, Second / 2, 0, Second), 0.0);
    auto Louder = MakeVolume(Properties({{"vol", "2"}}));
    EXPECT_DOUBLE_EQ(GainAt(*Louder, Second / 2, 0, Second), 2.0);
    auto Missing = MakeVolume({});
    EXPECT_DOUBLE_EQ(GainAt(*Missing, Second / 2, 0, Second), 1.0);
}

TEST(ClipVolumeEffect, KeyedVolRampsFromTheEffectsStart) {
    TPropertySetter Values;
    Values.AddValue("Vol", 0, "1");
    Values.AddValue("Vol", Second, "0", TKeyBlend::Interpolate);
    auto Effect = MakeVolume(std::move(Values));
    const TVideoTime Start = 3 * Second;
    EXPECT_DOUBLE_EQ(GainAt(*Effect, Start, Start, Start + 2 * Second), 1.0);
    EXPECT_NEAR(GainAt(*Effect, Start + Second / 4, Start, Start + 2 * Second), 0.75, 1e-6);
    EXPECT_NEAR(GainAt(*Effect, Start + Second + 1250, Start, Start + 2 * Second), 0, 1e-6);
}

TEST(ClipVolumeEffect, TwoKeyTextRampsBetweenTimelineTimes) {
    // The fade in over a clip at 10 s, 1.5 s long.
    auto Effect = MakeVolume(Properties({{"multivol", "100000000 115000000 0 1"}}));
    const TVideoTime Start = 10 * Second, Stop = Start + 15000000;
    EXPECT_DOUBLE_EQ(GainAt(*Effect, Start, Start, Stop), 0.0);
    EXPECT_NEAR(GainAt(*Effect, Start + 7500000, Start, Stop), 0.5, 1e-6);
    EXPECT_NEAR(GainAt(*Effect, Start + 12000000, Start, Stop), 0.8, 1e-6);
    // The same text in "Vol" means the same, and a fade out runs down.
    auto AsVol = MakeVolume(Properties({{"Vol", "100000000 115000000 0 1"}}));
    EXPECT_NEAR(GainAt(*AsVol, Start + 7500000, Start, Stop), 0.5, 1e-6);
    auto Out = MakeVolume(Properties({{"multivol", "100000000 115000000 1.0 0.0"}}));
    EXPECT_NEAR(GainAt(*Out, Start + 3000000, Start, Stop), 0.8, 1e-6);
}

TEST(ClipVolumeEffect, SixNumberTextIsTheEnvelopeBetweenTransitions) {
    // A clip at 10 s lasting 4 s at volume 0.8, a 1 s transition in and a
    // 1 s transition out: "start+r start+q v v start+d start".
    auto Effect =
        MakeVolume(Properties({{"multivol", "110000000 130000000 0.8 0.8 140000000 100000000"}}));
    const TVideoTime S = 10 * Second, Stop = S + 4 * Second;
    auto Gain = [&](double Seconds) {
        return GainAt(*Effect, S + TVideoTime(Seconds * Second), S, Stop);
    };
    EXPECT_NEAR(Gain(0), 0, 1e-6);     // fades in from silence
    EXPECT_NEAR(Gain(0.5), 0.4, 1e-6); // half-way through the transition in
    EXPECT_NEAR(Gain(1), 0.8, 1e-6);
    EXPECT_NEAR(Gain(2), 0.8, 1e-6); // holds between the transitions
    EXPECT_NEAR(Gain(3), 0.8, 1e-6);
    EXPECT_NEAR(Gain(3.5), 0.4, 1e-6); // fades out to silence at the end
    EXPECT_NEAR(Gain(3.9), 0.08, 1e-6);
}

TEST(ClipVolumeEffect, OverlappingTransitionsMeetInATriangle) {
    // r = q: both fade points at the same time, the volume already scaled.
    auto Effect =
        MakeVolume(Properties({{"multivol", "120000000 120000000 0.5 0.5 140000000 100000000"}}));
    const TVideoTime S = 10 * Second, Stop = S + 4 * Second;
    EXPECT_NEAR(GainAt(*Effect, S + Second, S, Stop), 0.25, 1e-6);
    EXPECT_NEAR(GainAt(*Effect, S + 2 * Second, S, Stop), 0.5, 1e-6);
    EXPECT_NEAR(GainAt(*Effect, S + 3 * Second, S, Stop), 0.25, 1e-6);
}

TEST(ClipVolumeEffect, EnvelopeWithoutATransitionInStartsAtFullVolume) {
    auto Effect =
        MakeVolume(Properties({{"multivol", "100000000 130000000 1 1 140000000 100000000"}}));
    const TVideoTime S = 10 * Second, Stop = S + 4 * Second;
    EXPECT_DOUBLE_EQ(GainAt(*Effect, S, S, Stop), 1.0);
    EXPECT_NEAR(GainAt(*Effect, S + 3 * Second + Second / 2, S, Stop), 0.5, 1e-6);
    auto NoFadeOut =
        MakeVolume(Properties({{"multivol", "110000000 140000000 1 1 140000000 100000000"}}));
    EXPECT_NEAR(GainAt(*NoFadeOut, Stop - 1250, S, Stop), 1.0, 1e-6);
}

TEST(ClipVolumeEffect, UnreadableTextLeavesTheVolumeAlone) {
    auto Effect = MakeVolume(Properties({{"multivol", "1 2 three"}}));
    EXPECT_DOUBLE_EQ(GainAt(*Effect, Second / 2, 0, Second), 1.0);
}

} // namespace
