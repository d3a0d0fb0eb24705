#include "render/render.h"

#include "core/data.h"
#include "media_settings_fixture.h"
#include "platform/media/media_writer.h"
#include "render/audio_media_settings.h"
#include "render/compression_media_settings.h"
#include "render/format_media_settings.h"
#include "render/output_presets.h"
#include "render/output_settings.h"
#include "render/video_media_settings.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

class RenderDriver : public TMediaTimelineFixture {
protected:
    static void LoadText(TRender& Render, const std::string& Text) {
        TData Data;
        Data.LoadFromText(Text);
        Render.Load(Data);
    }
};

TEST_F(RenderDriver, StartsInWindowsMediaVideoQuality) {
    TRender Render(Timeline);
    EXPECT_EQ(Render.Kind(), TRenderKind::WMVQuality);
    EXPECT_EQ(Render.VideoSettings(), &Render.WMV().Video());
    EXPECT_EQ(Render.CompressionSettings(), &Render.WMV().Quality());
}

TEST_F(RenderDriver, LoadingTheKindComparesWithoutCase) {
    TRender Render(Timeline);
    Render.SetKind(TRenderKind::AVI);
    LoadText(Render, "Kind = wmvquality\n");
    EXPECT_EQ(Render.Kind(), TRenderKind::WMVQuality);
    LoadText(Render, "Kind = Betamax\nIsVCRDownload = True\n");
    EXPECT_EQ(Render.Kind(), TRenderKind::WMVQuality);
    EXPECT_TRUE(Render.IsVCRDownload());
}

TEST_F(RenderDriver, AudioKindsNeedAudibleClipsAndTheOthersVideoClips) {
    TRender Empty(Timeline);
    for (TRenderKind Kind : {TRenderKind::MP3, TRenderKind::WMAQuality, TRenderKind::AVI,
                             TRenderKind::DV, TRenderKind::WMVBitRate}) {
        Empty.SetKind(Kind);
        EXPECT_FALSE(Empty.CanRender()) << RenderKindName(Kind);
    }
    AddTone(0.2);
    TRender AudioOnly(Timeline);
    AudioOnly.SetKind(TRenderKind::MP3);
    EXPECT_TRUE(AudioOnly.CanRender());
    AudioOnly.SetKind(TRenderKind::AVI);
    EXPECT_FALSE(AudioOnly.CanRender());
    EXPECT_EQ(AudioOnly.VideoSettings(), nullptr);
    EXPECT_EQ(AudioOnly.AudioSettings(), &AudioOnly.AVI().Audio());
}

TEST_F(RenderDriver, MutedClipsAreNotAudible) {
    AddTone(0.2).SetMuted(true);
    TRender Render(Timeline);
    Render.SetKind(TRenderKind::WMABitRate);
    EXPECT_FALSE(Render.CanRender());
}

TEST_F(RenderDriver, RefreshPicksTheSettingsAgainWhenTheClipsChange) {
    TRender Render(Timeline);
    Render.SetKind(TRenderKind::MP4BitRate);
    ASSERT_FALSE(Render.CanRender());
    EXPECT_EQ(Render.VideoSettings(), nullptr);
    TChangeCounter Counter;
    Render.Changes().AddChangeHandler(Counter.Method());
    AddColor(Second);
    Render.Refresh();
    EXPECT_TRUE(Render.CanRender());
    EXPECT_EQ(Render.VideoSettings(), &Render.AVI().Video());
    EXPECT_EQ(Render.CompressionSettings(), &Render.MP4().BitRate());
    EXPECT_EQ(Counter.Count, 1);
    EXPECT_TRUE(Any(Counter.Flags & MediaSettingsChangeCompression));
    Render.Changes().RemoveChangeHandler(Counter.Method());
}

TEST_F(RenderDriver, KindAndDownloadChangesAreAnnouncedOnlyWhenTheyChange) {
    TRender Render(Timeline);
    TChangeCounter Counter;
    Render.Changes().AddChangeHandler(Counter.Method());
    Render.SetKind(TRenderKind::WMVQuality);
    Render.SetVCRDownload(false);
    EXPECT_EQ(Counter.Count, 0);
    Render.SetKind(TRenderKind::DV);
    Render.SetVCRDownload(true);
    EXPECT_EQ(Counter.Count, 2);
    EXPECT_EQ(Counter.Flags, MediaSettingsChangeCompression);
    Render.Changes().RemoveChangeHandler(Counter.Method());
}

// The output size the listeners read is already the new one.
struct TSizeWatcher {
    TRender* Render;
    int32_t Width = 0;
    void Changed(TObject*, TMediaSettingsChangeFlags) { Width = Render->OutputWidth(); }
};

TEST_F(RenderDriver, OutputSizeFollowsTheCurrentVideoSettingsBeforeListenersHear) {
    AddColor(Second);
    TRender Render(Timeline);
    TSizeWatcher Watcher{&Render};
    Render.Changes().AddChangeHandler(MakeDelegate<&TSizeWatcher::Changed>(&Watcher));
    Render.WMV().Video().SetWidth(400);
    EXPECT_EQ(Watcher.Width, 400);
    Render.SetKind(TRenderKind::DV);
    EXPECT_EQ(Watcher.Width, 720);
    EXPECT_EQ(Render.OutputHeight(), Render.DV().Video().Height());
    Render.Changes().RemoveChangeHandler(MakeDelegate<&TSizeWatcher::Changed>(&Watcher));
}

TEST_F(RenderDriver, OutputSettingsCarryTheCurrentKindsChoices) {
    AddVideo(64, 48, 10, 0.2);
    TRender Render(Timeline);
    Render.WMV().Video().SetWidth(96);
    Render.WMV().Quality().SetValue(50);
    TOutputSettings Wmv = Render.OutputSettings();
    EXPECT_EQ(Wmv.OutputFormat, TMediaOutputFormat::WindowsMediaVideo);
    EXPECT_FALSE(Wmv.BitRateMode);
    EXPECT_EQ(Wmv.Video, (TVideoFormat{VideoPresetCustom, 96, 48, 10}));
    EXPECT_EQ(Wmv.Audio.Preset, AudioPresetOptimal);
    EXPECT_EQ(Wmv.CompressionValue, 50);

    Render.SetKind(TRenderKind::WMABitRate);
    TOutputSettings Wma = Render.OutputSettings();
    EXPECT_EQ(Wma.Video.Preset, VideoPresetNone);
    EXPECT_TRUE(Wma.BitRateMode);
    EXPECT_EQ(Wma.CompressionValue, Render.WMA().BitRate().Value());

    Render.SetKind(TRenderKind::DV);
    EXPECT_EQ(Render.OutputSettings().CompressionValue, 0);
    EXPECT_EQ(Render.OutputSettings().Video.Width, 720);
}

TEST_F(RenderDriver, TheWholeTreeSurvivesSavingAndLoading) {
    AddVideo(64, 48, 10, 0.2);
    TRender Original(Timeline);
    Original.SetKind(TRenderKind::MP4BitRate);
    Original.SetVCRDownload(true);
    TData AudioText;
    AudioText.LoadFromText("BitCount = 8\nChannelCount = 1\nFrequency = 32000\n");
    Original.WMA().Audio().Load(AudioText);
    Original.AVI().Video().SetWidth(400);
    Original.AVI().Video().SetFramesPerSecond(12);
    Original.DV().Video().ApplyPreset(Original.DV().Video().FindPreset("PAL"));
    Original.MP4().BitRate().SetValue(777777);
    Original.WMV().Quality().ApplyValue(61);
    Original.AVI().Quality().ApplyValue(7);

    TData Stored;
    Original.Save(Stored);
    TRender Loaded(Timeline);
    Loaded.Load(Stored);

    EXPECT_EQ(Loaded.Kind(), TRenderKind::MP4BitRate);
    EXPECT_TRUE(Loaded.IsVCRDownload());
    EXPECT_EQ(Loaded.WMA().Audio().BitsPerSample(), 8);
    EXPECT_EQ(Loaded.WMA().Audio().Channels(), 1);
    EXPECT_EQ(Loaded.WMA().Audio().SamplesPerSecond(), 32000);
    EXPECT_EQ(Loaded.WMV().Video().Width(), 400);
    EXPECT_EQ(Loaded.MP4().Video().FramesPerSecond(), 12);
    EXPECT_EQ(Loaded.MP4().Video().PresetIndex(), Original.MP4().Video().PresetIndex());
    EXPECT_EQ(Loaded.DV().Video().Height(), 576);
    EXPECT_EQ(Loaded.MP4().BitRate().Value(), 777777);
    EXPECT_EQ(Loaded.WMA().BitRate().Value(), 393216);
    EXPECT_EQ(Loaded.WMV().Quality().RequestedValue(), 61);
    EXPECT_EQ(Loaded.AVI().Quality().Value(), Original.AVI().Quality().Value());
    // And nothing else differs: the loaded tree stores the same document.
    TData Again;
    Loaded.Save(Again);
    EXPECT_EQ(Again.SaveToText(), Stored.SaveToText());
}

TEST_F(RenderDriver, LoadingAnEmptyDocumentKeepsEverything) {
    TRender Render(Timeline);
    Render.SetKind(TRenderKind::AVICompressed);
    Render.WMV().Video().SetHeight(300);
    TData Before;
    Render.Save(Before);
    TData Empty;
    Render.Load(Empty);
    TData After;
    Render.Save(After);
    EXPECT_EQ(After.SaveToText(), Before.SaveToText());
    EXPECT_TRUE(Empty.Root()->Count() == 0);
}

TEST_F(RenderDriver, ProjectHooksAreInstalledAndTakenOutAgain) {
    std::function<void(TData&)> LoadHook, SaveHook;
    TData Stored;
    {
        TRender Render(Timeline);
        Render.BindProjectHooks(LoadHook, SaveHook);
        Render.SetKind(TRenderKind::MP3);
        ASSERT_TRUE(SaveHook);
        SaveHook(Stored);
    }
    EXPECT_FALSE(LoadHook);
    EXPECT_FALSE(SaveHook);
    TRender Other(Timeline);
    Other.BindProjectHooks(LoadHook, SaveHook);
    LoadHook(Stored);
    EXPECT_EQ(Other.Kind(), TRenderKind::MP3);
}

} // namespace
