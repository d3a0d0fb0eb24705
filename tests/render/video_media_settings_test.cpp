#include "render/video_media_settings.h"

#include "core/data.h"
#include "media_settings_fixture.h"
#include "render/format_media_settings.h"
#include "render/media_settings_handler.h"
#include "render/media_settings_preset.h"
#include "render/render.h"

#include <gtest/gtest.h>

namespace {

std::string CurrentKey(const TVideoMediaSettings& Video) {
    return Video.PresetIndex() < 0 ? "" : Video.Preset(Video.PresetIndex()).Key();
}

struct TSize3 {
    int32_t Width, Height, Fps;
    bool operator==(const TSize3&) const = default;
};

TSize3 SizeOf(const TVideoMediaSettings& Video) {
    return {Video.Width(), Video.Height(), Video.FramesPerSecond()};
}

class VideoMediaSettings : public TMediaTimelineFixture {
protected:
    void LoadText(TMediaSettings& Settings, const std::string& Text) {
        TData Data;
        Data.LoadFromText(Text);
        Settings.Load(Data);
    }
};

TEST_F(VideoMediaSettings, LoadingClampsSizesAndRates) {
    TRender Render(Timeline);
    auto& Video = Render.WMV().Video();
    LoadText(Video, "Width = 5000\nHeight = -3\nFPS = 0\n");
    EXPECT_EQ(SizeOf(Video), (TSize3{4096, 1, 1}));
    LoadText(Video, "FPS = 1000\n");
    EXPECT_EQ(SizeOf(Video), (TSize3{4096, 1, 200}));
    EXPECT_EQ(CurrentKey(Video), "Custom");
}

TEST_F(VideoMediaSettings, LoadedValuesSelectTheirPreset) {
    TRender Render(Timeline);
    auto& Video = Render.MP4().Video();
    LoadText(Video, "Width = 160\nHeight = 120\nFPS = 15\n");
    EXPECT_EQ(CurrentKey(Video), "Small");
}

TEST_F(VideoMediaSettings, StoredSizesLoadToTheSameValuesWithTheHdPresetsListed) {
    struct TCase {
        const char* Text;
        TSize3 Size;
        const char* Key;
    };
    const TCase Cases[] = {
        {"Width = 720\nHeight = 576\nFPS = 25\n", {720, 576, 25}, "PAL"},
        {"Width = 720\nHeight = 480\nFPS = 30\n", {720, 480, 30}, "NTSC"},
        {"Width = 400\nHeight = 300\nFPS = 12\n", {400, 300, 12}, "Custom"},
        {"Width = 1280\nHeight = 720\nFPS = 30\n", {1280, 720, 30}, "HD720"},
        {"Width = 1920\nHeight = 1080\nFPS = 30\n", {1920, 1080, 30}, "FullHD1080"},
        {"Width = 3840\nHeight = 2160\nFPS = 30\n", {3840, 2160, 30}, "UHD4K"},
        {"Width = 1920\nHeight = 1080\nFPS = 60\n", {1920, 1080, 60}, "Custom"},
    };
    for (const TCase& Case : Cases) {
        TRender Render(Timeline);
        auto& Video = Render.WMV().Video();
        LoadText(Video, Case.Text);
        EXPECT_EQ(SizeOf(Video), Case.Size) << Case.Text;
        EXPECT_EQ(CurrentKey(Video), Case.Key) << Case.Text;
        TData Saved;
        Video.Save(Saved);
        EXPECT_EQ(Saved.ReadInteger("Width", 0), Case.Size.Width);
        EXPECT_EQ(Saved.ReadInteger("FPS", 0), Case.Size.Fps);
    }
    // The HD presets sit after PAL and before Custom.
    TRender Render(Timeline);
    auto& Video = Render.MP4().Video();
    int32_t Pal = Video.FindPreset("PAL"), Custom = Video.FindPreset("Custom");
    EXPECT_EQ(Video.FindPreset("HD720"), Pal + 1);
    EXPECT_EQ(Video.FindPreset("FullHD1080"), Pal + 2);
    EXPECT_EQ(Video.FindPreset("UHD4K"), Pal + 3);
    EXPECT_EQ(Custom, Pal + 4);
    Video.SelectPreset(Video.FindPreset("FullHD1080"));
    EXPECT_EQ(SizeOf(Video), (TSize3{1920, 1080, 30}));
}

TEST_F(VideoMediaSettings, PalSizeSelectsPalUnlessItIsTheProjectsOptimalFormat) {
    TRender Render(Timeline);
    Render.AVI().Video().SetWidth(720);
    Render.AVI().Video().SetHeight(576);
    Render.AVI().Video().SetFramesPerSecond(25);
    EXPECT_EQ(CurrentKey(Render.AVI().Video()), "PAL");

    AddVideo(720, 576, 25, 0.2, 0);
    TRender WithMedia(Timeline);
    auto& Video = WithMedia.WMV().Video();
    Video.SelectPreset(Video.FindPreset("Small"));
    Video.ApplyValues(720, 576, 25);
    EXPECT_EQ(CurrentKey(Video), "Optimal");
}

TEST_F(VideoMediaSettings, OptimalFollowsTheProjectWhenReapplied) {
    TRender Render(Timeline);
    auto& Video = Render.MP4().Video();
    EXPECT_EQ(CurrentKey(Video), "Optimal");
    // Without video media "Optimal" writes nothing.
    EXPECT_EQ(SizeOf(Video), (TSize3{320, 240, 25}));
    AddVideo(176, 144, 10, 0.3, 0);
    Render.Refresh();
    EXPECT_EQ(SizeOf(Video), (TSize3{176, 144, 10}));
    EXPECT_EQ(CurrentKey(Video), "Optimal");
}

TEST_F(VideoMediaSettings, PresetKeysAreComparedWithoutCase) {
    TRender Render(Timeline);
    Render.VideoHandler().SelectPreset("large");
    EXPECT_EQ(SizeOf(Render.WMV().Video()), (TSize3{640, 480, 25}));
    LoadText(Render.DV().Video(), "Norm = pal\n");
    EXPECT_EQ(CurrentKey(Render.DV().Video()), "PAL");
}

class LinkedVideoMediaSettings : public VideoMediaSettings {
protected:
    TRender Render{Timeline};
    TUsualVideoMediaSettings& Avi = Render.AVI().Video();
    TUsualVideoMediaSettings& Mp4 = Render.MP4().Video();
    TUsualVideoMediaSettings& Wmv = Render.WMV().Video();
    TDVVideoMediaSettings& Dv = Render.DV().Video();
};

TEST_F(LinkedVideoMediaSettings, SelectingAPresetSpreadsToTheLinkedSettingsButDvKeepsItsOwn) {
    Dv.SelectPreset(Dv.FindPreset("PAL"));
    Avi.SelectPreset(Avi.FindPreset("Small"));
    for (TVideoMediaSettings* Video : {&Avi, &Mp4, &Wmv}) {
        EXPECT_EQ(CurrentKey(*Video), "Small");
        EXPECT_EQ(SizeOf(*Video), (TSize3{160, 120, 15}));
    }
    EXPECT_EQ(CurrentKey(Dv), "PAL");
    EXPECT_EQ(SizeOf(Dv), (TSize3{720, 576, 25}));
}

TEST_F(LinkedVideoMediaSettings, SelectingANormOnDvSpreadsThatNorm) {
    Avi.SelectPreset(Avi.FindPreset("Small"));
    Dv.SelectPreset(Dv.FindPreset("NTSC"));
    EXPECT_EQ(CurrentKey(Wmv), "NTSC");
    EXPECT_EQ(SizeOf(Mp4), (TSize3{720, 480, 30}));
}

TEST_F(LinkedVideoMediaSettings, TypedSizesReachEveryLinkedSettingButACustomSizeNeverReachesDv) {
    Dv.SelectPreset(Dv.FindPreset("PAL")); // spreads PAL to the others
    Wmv.SetWidth(333);
    for (TVideoMediaSettings* Video : {&Avi, &Mp4, &Wmv}) {
        EXPECT_EQ(SizeOf(*Video), (TSize3{333, 576, 25}));
        EXPECT_EQ(CurrentKey(*Video), "Custom");
    }
    EXPECT_EQ(SizeOf(Dv), (TSize3{720, 576, 25}));
    EXPECT_EQ(CurrentKey(Dv), "PAL");
    // A size that is one of DV's norms is taken.
    Avi.SetWidth(720);
    Avi.SetHeight(480);
    Avi.SetFramesPerSecond(30);
    EXPECT_EQ(CurrentKey(Dv), "NTSC");
    EXPECT_EQ(CurrentKey(Mp4), "NTSC");
}

TEST_F(LinkedVideoMediaSettings, ALinkedChangeIsAnnouncedOnce) {
    TChangeCounter Counter;
    Render.Changes().AddChangeHandler(Counter.Method());
    Avi.SelectPreset(Avi.FindPreset("Large"));
    EXPECT_EQ(Counter.Count, 1);
    EXPECT_EQ(Counter.Flags & MediaSettingsChangeVideo, MediaSettingsChangeVideo);
    Counter.Reset();
    Mp4.SetWidth(Mp4.Width());
    EXPECT_EQ(Counter.Count, 0);
    Render.Changes().RemoveChangeHandler(Counter.Method());
}

TEST_F(LinkedVideoMediaSettings, AnUnknownKeyChangesNothing) {
    Avi.SelectPreset(Avi.FindPreset("Small"));
    Render.VideoHandler().SelectPreset("Huge");
    Avi.SelectPreset(-1);
    Avi.SelectPreset(Avi.PresetCount());
    EXPECT_EQ(CurrentKey(Mp4), "Small");
    EXPECT_EQ(CurrentKey(Dv), "NTSC");
}

} // namespace
