#include "render/audio_media_settings.h"

#include "core/data.h"
#include "render/format_media_settings.h"
#include "render/render.h"
#include "render/timeline.h"

#include <gtest/gtest.h>

namespace {

class AudioMediaSettings : public ::testing::Test {
protected:
    // Loads the text of a stored audio node into AVI's audio settings.
    TUsualAudioMediaSettings& Load(const std::string& Text) {
        TData Data;
        Data.LoadFromText(Text);
        Render.AVI().Audio().Load(Data);
        return Render.AVI().Audio();
    }

    TTimeline Timeline;
    TRender Render{Timeline};
};

TEST_F(AudioMediaSettings, LoadingMapsBitsAndChannelsToWhatIsOffered) {
    auto& Audio = Load("BitCount = 12\nChannelCount = 0\nFrequency = 22050\n");
    EXPECT_EQ(Audio.BitsPerSample(), 16);
    EXPECT_EQ(Audio.Channels(), 1);
    EXPECT_EQ(Audio.SamplesPerSecond(), 22050);
    Load("BitCount = 11\nChannelCount = 7\n");
    EXPECT_EQ(Audio.BitsPerSample(), 8);
    EXPECT_EQ(Audio.Channels(), 2);
    EXPECT_EQ(Audio.SamplesPerSecond(), 22050); // missing: kept
}

TEST_F(AudioMediaSettings, LoadingClampsTheFrequency) {
    EXPECT_EQ(Load("Frequency = 100\n").SamplesPerSecond(), 8192);
    EXPECT_EQ(Load("Frequency = 500000\n").SamplesPerSecond(), 96000);
    EXPECT_EQ(Load("Frequency = fast\n").SamplesPerSecond(), 96000);
}

TEST_F(AudioMediaSettings, AudioHasNoPresetsSoSelectingOneChangesNothing) {
    auto& Audio = Render.WMV().Audio();
    EXPECT_EQ(Audio.PresetIndex(), -1);
    Audio.SelectPreset(0);
    Audio.ReapplyPreset();
    EXPECT_EQ(Audio.PresetIndex(), -1);
    EXPECT_EQ(Audio.SamplesPerSecond(), 44100);
}

} // namespace
