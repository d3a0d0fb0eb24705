#include "render/compression_media_settings.h"

#include "core/data.h"
#include "media_settings_fixture.h"
#include "platform/media/media_writer.h"
#include "render/format_media_settings.h"
#include "render/render.h"

#include <gtest/gtest.h>

namespace {

class CompressionMediaSettings : public TMediaTimelineFixture {};

TEST_F(CompressionMediaSettings, WindowsMediaVideoQualitySnapsToTheNearestStep) {
    AddVideo(64, 48, 10, 0.2);
    TRender Render(Timeline);
    auto& Quality = Render.WMV().Quality();
    Quality.SetValue(37);
    EXPECT_EQ(Quality.Value(), 36);
    EXPECT_EQ(Quality.RequestedValue(), 37);
    // The linked settings get the same request and fit it to their own slider.
    EXPECT_EQ(Render.MP4().Quality().Value(), 35);
    EXPECT_EQ(Render.MP4().Quality().RequestedValue(), 37);
}

TEST_F(CompressionMediaSettings, EquallyNearStepsGiveTheFirst) {
    TSliderDefinition Slider;
    Slider.Numbers = {10, 20, 30};
    Slider.Minimum = 10;
    Slider.Maximum = 30;
    EXPECT_EQ(SnapToSlider(Slider, 15), 10);
    EXPECT_EQ(SnapToSlider(Slider, 25), 20);
    EXPECT_EQ(SnapToSlider(Slider, -100), 10);
}

TEST_F(CompressionMediaSettings, AudioOnlyProjectsGetTheAudioQualityLevels) {
    AddTone(0.2, 22050, 1);
    TRender Render(Timeline);
    auto& Quality = Render.WMA().Quality();
    Quality.SetValue(37);
    EXPECT_EQ(Quality.Value(), 25);
}

TEST_F(CompressionMediaSettings, BetterThanCdAudioOffersOnlyTheHighLevels) {
    AddTone(0.2, 48000, 2);
    TRender Render(Timeline);
    auto& Quality = Render.WMA().Quality();
    Quality.SetValue(37);
    EXPECT_EQ(Quality.Value(), Quality.SliderDefinition().Minimum);
    EXPECT_GE(Quality.Value(), 90);
}

TEST_F(CompressionMediaSettings, TheEffectiveValueFollowsTheSliderAsTheProjectGainsVideo) {
    AddTone(0.2);
    TRender Render(Timeline);
    auto& Quality = Render.WMV().Quality();
    Quality.SetValue(37);
    ASSERT_EQ(Quality.Value(), 25);
    TChangeCounter Counter;
    Render.Changes().AddChangeHandler(Counter.Method());
    AddVideo(64, 48, 10, 0.2);
    Render.Refresh();
    EXPECT_EQ(Quality.Value(), 36);
    EXPECT_EQ(Counter.Count, 1);
    EXPECT_TRUE(Any(Counter.Flags & MediaSettingsChangeCompression));
    Render.Changes().RemoveChangeHandler(Counter.Method());
}

TEST_F(CompressionMediaSettings, BitRatesAreLimitedToTheRangeOfTheirFormat) {
    TRender Render(Timeline);
    Render.WMV().BitRate().SetValue(5000000);
    EXPECT_EQ(Render.WMV().BitRate().Value(), 2048000);
    EXPECT_EQ(Render.WMA().BitRate().Value(), 393216);
    // MP4 without video media has the audio range.
    EXPECT_EQ(Render.MP4().BitRate().Value(), 393216);
    Render.WMV().BitRate().SetValue(10);
    EXPECT_EQ(Render.WMA().BitRate().Value(), 1024);
}

TEST_F(CompressionMediaSettings, LoadingClampsTheValueToAtLeastOne) {
    TRender Render(Timeline);
    auto& Quality = Render.AVI().Quality();
    TData Data;
    Data.LoadFromText("Value = -20\n");
    Quality.Load(Data);
    EXPECT_EQ(Quality.RequestedValue(), 1);
    TData Missing;
    Quality.Load(Missing);
    EXPECT_EQ(Quality.RequestedValue(), 1);
}

TEST_F(CompressionMediaSettings, SettingTheEffectiveValueAgainIsNoChange) {
    TRender Render(Timeline);
    auto& Quality = Render.WMV().Quality();
    Quality.SetValue(Quality.Value() + 1);
    TChangeCounter Counter;
    Render.Changes().AddChangeHandler(Counter.Method());
    int32_t Requested = Quality.RequestedValue();
    Quality.SetValue(Quality.Value());
    EXPECT_EQ(Counter.Count, 0);
    EXPECT_EQ(Quality.RequestedValue(), Requested);
    Render.Changes().RemoveChangeHandler(Counter.Method());
}

} // namespace
