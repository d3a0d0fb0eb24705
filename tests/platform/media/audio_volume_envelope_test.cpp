// The track volume envelope: "Vol" as the track's volume, 0 when muted, and
// keyed volumes relative to the effect's start.

#include "transform_audio_test_support.h"

#include <gtest/gtest.h>

namespace {

using namespace TransformTest;

std::unique_ptr<TAudioEffectComponent> MakeTrackVolume(TPropertySetter Values) {
    return MakeAudioEffect(MediaClassIds::AudioVolumeEnvelope(), std::move(Values));
}

TEST(AudioVolumeEnvelope, VolScalesTheAmplitude) {
    auto Quarter = MakeTrackVolume(Properties({{"Vol", "0.25"}}));
    EXPECT_DOUBLE_EQ(GainAt(*Quarter, Second, 0, 3 * Second), 0.25);
    auto Muted = MakeTrackVolume(Properties({{"Vol", "0"}}));
    EXPECT_DOUBLE_EQ(GainAt(*Muted, Second, 0, 3 * Second), 0.0);
    auto Louder = MakeTrackVolume(Properties({{"vol", "1.5"}}));
    EXPECT_DOUBLE_EQ(GainAt(*Louder, Second, 0, 3 * Second), 1.5);
}

TEST(AudioVolumeEnvelope, ActsOnlyWithinItsRange) {
    auto Effect = MakeTrackVolume(Properties({{"Vol", "0.5"}}));
    std::vector<float> Samples = Constant(8000, 2, 1.0f);
    // A one-second block from 1 s; the effect covers 1.25 s to 1.75 s.
    Effect->Apply(Second, Second + Second / 4, Second + 3 * Second / 4, AudioFormat, Samples.data(),
                  8000);
    EXPECT_FLOAT_EQ(Samples[1999 * 2], 1.0f);
    EXPECT_FLOAT_EQ(Samples[2000 * 2], 0.5f);
    EXPECT_FLOAT_EQ(Samples[5999 * 2 + 1], 0.5f);
    EXPECT_FLOAT_EQ(Samples[6000 * 2], 1.0f);
}

TEST(AudioVolumeEnvelope, KeysAreRelativeToTheEffectsStart) {
    TPropertySetter Values;
    Values.AddValue("Vol", 0, "0");
    Values.AddValue("Vol", 2 * Second, "1", TKeyBlend::Interpolate);
    auto Effect = MakeTrackVolume(std::move(Values));
    const TVideoTime Start = 5 * Second;
    EXPECT_NEAR(GainAt(*Effect, Start, Start, Start + 4 * Second), 0, 1e-6);
    EXPECT_NEAR(GainAt(*Effect, Start + Second, Start, Start + 4 * Second), 0.5, 1e-6);
    EXPECT_NEAR(GainAt(*Effect, Start + 3 * Second, Start, Start + 4 * Second), 1, 1e-6);
}

} // namespace
