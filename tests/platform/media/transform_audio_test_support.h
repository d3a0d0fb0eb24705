#pragma once

// Reading the gain an audio effect applies at a time: one frame of ones.

#include "transform_test_support.h"

#include <gtest/gtest.h>

namespace TransformTest {

const TMediaAudioFormat AudioFormat{2, 8000, 16};

inline double GainAt(TAudioEffectComponent& Effect, TVideoTime Time, TVideoTime EffectStart,
                     TVideoTime EffectStop) {
    std::vector<float> Samples = Constant(1, AudioFormat.Channels, 1.0f);
    Effect.Apply(Time, EffectStart, EffectStop, AudioFormat, Samples.data(), 1);
    EXPECT_EQ(Samples[0], Samples[1]) << "channels differ";
    return Samples[0];
}

} // namespace TransformTest
