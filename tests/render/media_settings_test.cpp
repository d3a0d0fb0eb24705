#include "render/media_settings.h"

#include "core/data.h"
#include "render/audio_media_settings.h"
#include "render/compression_media_settings.h"
#include "render/format_media_settings.h"
#include "render/media_settings_handler.h"
#include "render/render.h"
#include "render/timeline.h"
#include "render/video_media_settings.h"

#include <gtest/gtest.h>

namespace {

TEST(MediaSettings, NodesAreFoundByNameWithoutCaseAndKnowTheirParent) {
    TTimeline Timeline;
    TRender Render(Timeline);
    TMediaSettings* Wma = Render.FindChild("wma");
    ASSERT_EQ(Wma, &Render.WMA());
    EXPECT_EQ(Wma->FindChild("AUDIO"), &Render.WMA().Audio());
    EXPECT_EQ(Render.WMA().Audio().Parent(), Wma);
    EXPECT_EQ(Render.FindChild("OGG"), nullptr);
    // Every node shares the root's notifier.
    EXPECT_EQ(&Render.WMA().Audio().Changes(), &Render.Changes());
}

TEST(MediaSettings, EachNodeLoadsFromTheSectionOfItsName) {
    TTimeline Timeline;
    TRender Render(Timeline);
    TData Data;
    Data.LoadFromText("WMA:\n  Audio:\n    Frequency = 11025\n  end\nend\n"
                      "WMV:\n  audio:\n    Frequency = 16000\n  end\nend\n");
    Render.Load(Data);
    EXPECT_EQ(Render.WMA().Audio().SamplesPerSecond(), 11025);
    EXPECT_EQ(Render.WMV().Audio().SamplesPerSecond(), 16000);
    EXPECT_EQ(Render.AVI().Audio().SamplesPerSecond(), 44100);
}

TEST(MediaSettings, TheSettingsOfEachKindAreLinkedToTheirHandler) {
    TTimeline Timeline;
    TRender Render(Timeline);
    EXPECT_EQ(Render.AVI().Audio().Handler(), &Render.AudioHandler());
    EXPECT_EQ(Render.DV().Video().Handler(), &Render.VideoHandler());
    EXPECT_EQ(Render.WMV().BitRate().Handler(), &Render.BitRateHandler());
    EXPECT_EQ(Render.MP4().Quality().Handler(), &Render.QualityHandler());
}

} // namespace
