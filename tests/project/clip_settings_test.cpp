#include "project/clip_settings.h"

#include "item_test_fixture.h"
#include "platform/media/media_renderer.h"
#include "platform/media/media_timeline.h"
#include "platform/media/picture_source_name.h"
#include "platform/media/video_frame.h"
#include "project/file_clip.h"
#include "project/item_record.h"
#include "project/item_setting_undo.h"
#include "project/media_paths.h"
#include "project/title_clip.h"
#include "render/file_clip_element.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <vector>

namespace {

class ClipSettingsTest : public ItemTest {
protected:
    // A 2 s clip with picture and sound.
    std::string VideoWithSound(const std::string& Name) {
        TTestVideoOptions Options;
        Options.WithAudio = true;
        std::string File = Folder.Path(Name);
        WriteTestVideo(File, Options);
        return File;
    }

    // The "Settings" section of Clip's stored record, as written.
    static std::string StoredSettings(const TClip& Clip) {
        TData Data;
        Clip.Save(Data);
        std::string Text = Data.SaveToText();
        size_t Begin = Text.find("Settings:\r\n");
        size_t End = Text.find("\r\nend\r\n", Begin);
        if (Begin == std::string::npos || End == std::string::npos)
            return "no settings section";
        return Text.substr(Begin, End + 7 - Begin);
    }

    // The keys of that section in stored order.
    static std::vector<std::string> StoredKeys(const TClip& Clip) {
        std::istringstream Lines(StoredSettings(Clip));
        std::vector<std::string> Keys;
        std::string Line;
        while (std::getline(Lines, Line)) {
            size_t Equals = Line.find(" = ");
            if (Equals != std::string::npos)
                Keys.push_back(
                    Line.substr(Line.find_first_not_of(' '), Equals - Line.find_first_not_of(' ')));
        }
        return Keys;
    }

    TTrackItem* LoadRecord(const std::string& Record) {
        TData Data;
        Data.LoadFromText(Record);
        TRefPtr<TTrackItem> Item = LoadTrackItem(Data);
        if (Item)
            VideoTrack()->InsertItem(Item.Get(), VideoTrack()->ItemCount());
        return Item.Get();
    }

    TUndoHistory& History = UndoHistory();
};

using TKeys = std::vector<std::string>;

// Stored order and stored forms.

TEST_F(ClipSettingsTest, NeverEditedVideoClipStoresTheAdjustmentsThenVolumeAndMute) {
    auto* Clip = new TFileClip(0, VideoWithSound("a.avi"));
    VideoTrack()->InsertItem(Clip, 0);
    ASSERT_TRUE(Clip->HasAudio());
    EXPECT_EQ(Clip->BackgroundColorSetting(), nullptr);
    EXPECT_EQ(StoredSettings(*Clip), "Settings:\r\n"
                                     "  Gamma = 0\r\n"
                                     "  Brightness = 0\r\n"
                                     "  Contrast = 0\r\n"
                                     "  Saturation = 0\r\n"
                                     "  Volume = 100.00000000\r\n"
                                     "  Mute = False\r\n"
                                     "end\r\n");
}

TEST_F(ClipSettingsTest, OnlyAStillKeepsABackgroundColourAfterItsAdjustments) {
    TRefPtr<TFileClip> Still{new TFileClip(0, Picture("p.png"))};
    ASSERT_TRUE(Still->ClipElement()->KeepsBackgroundColor());
    ASSERT_NE(Still->BackgroundColorSetting(), nullptr);
    EXPECT_EQ(StoredKeys(*Still),
              (TKeys{"Gamma", "Brightness", "Contrast", "Saturation", "Background.Color.R",
                     "Background.Color.G", "Background.Color.B", "Background.Color.A"}));
    EXPECT_EQ(Still->Setting(4), Still->BackgroundColorSetting());
    EXPECT_EQ(Still->BackgroundColorSetting()->Key(), "Background.Color");
    EXPECT_FALSE(Still->BackgroundColorSetting()->Caption().empty());

    // A title draws over a transparent frame: no colour of its own.
    TRefPtr<TTitleClip> Title{new TTitleClip(Second, 0, FirstTitleStyle())};
    EXPECT_FALSE(Title->ClipElement()->KeepsBackgroundColor());
    EXPECT_EQ(Title->BackgroundColorSetting(), nullptr);
    EXPECT_EQ(StoredKeys(*Title), (TKeys{"Gamma", "Brightness", "Contrast", "Saturation"}));

    TRefPtr<TFileClip> Movie{new TFileClip(0, VideoWithSound("m.avi"))};
    EXPECT_FALSE(Movie->ClipElement()->KeepsBackgroundColor());
    EXPECT_EQ(Movie->BackgroundColorSetting(), nullptr);
}

TEST_F(ClipSettingsTest, ClipWithoutMediaKeepsOnlyTheSettingsItsRecordStored) {
    // Unavailable from the start: nothing tells what the media was, so it
    // offers everything, the colour white.
    TRefPtr<TFileClip> Missing{new TFileClip(0, Folder.Path("gone.png"))};
    ASSERT_NE(Missing->BackgroundColorSetting(), nullptr);
    EXPECT_EQ(Missing->BackgroundColorSetting()->Value(), 0xFFFFFFFFu);
    EXPECT_EQ(Missing->VolumeSetting()->Value(), 0);
    EXPECT_EQ(StoredKeys(*Missing),
              (TKeys{"Gamma", "Brightness", "Contrast", "Saturation", "Background.Color.R",
                     "Background.Color.G", "Background.Color.B", "Background.Color.A", "Volume",
                     "Mute"}));
    // With no element to reach, an edit is still stored and signalled.
    VideoTrack()->InsertItem(Missing.Get(), 0);
    {
        TChangeRecorder Recorder(*Project);
        Missing->VolumeSetting()->SetValue(40);
        Missing->BackgroundColorSetting()->SetValue(MakeColor(1, 2, 3));
        EXPECT_EQ(Recorder.Flags(), std::vector<TProjectChangeFlags>(2, ProjectChangeSettings));
    }
    EXPECT_EQ(Missing->VolumeSetting()->Value(), 40);
    VideoTrack()->RemoveItem(Missing.Get());

    std::string PictureFile = Picture("p.png");
    std::string Movie = VideoWithSound("a.avi");
    auto* Still = new TFileClip(0, PictureFile);
    VideoTrack()->InsertItem(Still, 0);
    Still->BackgroundColorSetting()->SetValue(MakeColor(10, 20, 30, 40));
    auto* MovieClip = new TFileClip(0, Movie);
    VideoTrack()->InsertItem(MovieClip, 1);
    VideoTrack()->Normalize(false);
    const std::string StillSettings = StoredSettings(*Still);
    const std::string MovieSettings = StoredSettings(*MovieClip);
    std::filesystem::remove(PictureFile);
    std::filesystem::remove(Movie);

    TRefPtr<TProject> Copy = Reloaded();
    auto* LoadedStill = dynamic_cast<TFileClip*>(Copy->Track(0)->Item(0));
    auto* LoadedMovie = dynamic_cast<TFileClip*>(Copy->Track(0)->Item(1));
    ASSERT_TRUE(LoadedStill && LoadedMovie);
    ASSERT_FALSE(LoadedStill->IsAvailable());
    ASSERT_NE(LoadedStill->BackgroundColorSetting(), nullptr);
    EXPECT_EQ(LoadedStill->BackgroundColorSetting()->Value(), MakeColor(10, 20, 30, 40));
    EXPECT_EQ(LoadedStill->VolumeSetting(), nullptr);
    EXPECT_EQ(LoadedMovie->BackgroundColorSetting(), nullptr);
    EXPECT_NE(LoadedMovie->VolumeSetting(), nullptr);
    EXPECT_EQ(StoredSettings(*LoadedStill), StillSettings);
    EXPECT_EQ(StoredSettings(*LoadedMovie), MovieSettings);
}

// The background colour.

TEST_F(ClipSettingsTest, BackgroundColourStartsFromTheElementAndEditsAreUndoable) {
    auto* Still = new TFileClip(0, Picture("p.png"));
    VideoTrack()->InsertItem(Still, 0);
    TBackgroundColorClipSetting* Color = Still->BackgroundColorSetting();
    ASSERT_NE(Color, nullptr);
    TClipElement* Element = Still->ClipElement();
    EXPECT_EQ(Color->Value(), Element->BackgroundColor());

    TChangeRecorder Recorder(*Project);
    const TColor Red = MakeColor(255, 0, 0);
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { Color->SetValue(Red); }));
    EXPECT_EQ(Color->Value(), Red);
    EXPECT_EQ(Element->BackgroundColor(), Red);
    auto* Record = dynamic_cast<TColorItemSettingUndo*>(History.Record(History.Current()));
    ASSERT_NE(Record, nullptr);
    EXPECT_EQ(Record->Text(), Color->Caption());
    // The edit, two undos and two redos: one settings change each.
    EXPECT_EQ(Recorder.Flags(), std::vector<TProjectChangeFlags>(5, ProjectChangeSettings));

    History.Undo();
    EXPECT_EQ(Element->BackgroundColor(), Color->Value());
    EXPECT_NE(Element->BackgroundColor(), Red);
}

TEST_F(ClipSettingsTest, RawBackgroundColourReachesTheElementWithoutRecordOrSignal) {
    auto* Still = new TFileClip(0, Picture("p.png"));
    VideoTrack()->InsertItem(Still, 0);
    EmptyUndoHistory();
    TChangeRecorder Recorder(*Project);
    Still->BackgroundColorSetting()->SetValueRaw(0);
    EXPECT_EQ(Still->BackgroundColorSetting()->Value(), 0u);
    EXPECT_EQ(Still->ClipElement()->BackgroundColor(), 0u);
    EXPECT_EQ(History.Count(), 0);
    EXPECT_TRUE(Recorder.Flags().empty());
}

TEST_F(ClipSettingsTest, BackgroundColourFillsTheFrameAroundAStillOfAnotherShape) {
    // A wide green picture on the 4:3 output: bars above and below it.
    WriteTestPicture(Folder.Path("wide.png"), 64, 16, 0xFF00FF00u);
    auto* Still = new TFileClip(0, Folder.Path("wide.png"));
    VideoTrack()->InsertItem(Still, 0);
    const TColor Blue = MakeColor(0, 0, 255);
    Still->BackgroundColorSetting()->SetValue(Blue);

    auto* Element = Still->FileElement();
    ASSERT_NE(Element->VideoSource(), nullptr);
    TPictureSourceName Name;
    ASSERT_TRUE(
        ParsePictureSourceName(Element->VideoSource()->Properties().TextAt("filename", 0), Name));
    EXPECT_EQ(Name.ClipColor, Blue);

    TMediaRenderer Renderer(Project->Timeline().Platform());
    TVideoFrame Frame;
    Renderer.RenderVideo(Second, Frame);
    EXPECT_EQ(Frame.Pixel(Frame.Width() / 2, 2), Blue);
    TColor Middle = Frame.Pixel(Frame.Width() / 2, Frame.Height() / 2);
    EXPECT_GT((Middle >> 8) & 0xFF, 200u) << "green";
    EXPECT_LT((Middle >> 16) & 0xFF, 40u) << "blue";
}

// The colour adjustments.

TEST_F(ClipSettingsTest, EachAdjustmentReachesItsOwnElementValue) {
    auto* Clip = new TFileClip(0, Video("a.avi"));
    VideoTrack()->InsertItem(Clip, 0);
    TClipElement* Element = Clip->ClipElement();
    Clip->AdjustSetting(TVideoAdjustment::Gamma)->SetValue(-100);
    EXPECT_NEAR(Element->Gamma(), 0.1, 1e-4);
    Clip->AdjustSetting(TVideoAdjustment::Gamma)->SetValue(0);
    EXPECT_DOUBLE_EQ(Element->Gamma(), 1.0);
    Clip->AdjustSetting(TVideoAdjustment::Contrast)->SetValue(25);
    Clip->AdjustSetting(TVideoAdjustment::Saturation)->SetValue(-75);
    EXPECT_EQ(Element->Contrast(), 32);
    EXPECT_EQ(Element->Saturation(), -96);
    EXPECT_EQ(Element->Brightness(), 0);
    EXPECT_EQ(Clip->AdjustSetting(TVideoAdjustment::Gamma)->Key(), "Gamma");
    EXPECT_EQ(Clip->AdjustSetting(TVideoAdjustment::Brightness)->Key(), "Brightness");
    EXPECT_EQ(Clip->AdjustSetting(TVideoAdjustment::Contrast)->Key(), "Contrast");
    EXPECT_EQ(Clip->AdjustSetting(TVideoAdjustment::Saturation)->Key(), "Saturation");

    // Hue, which no clip creates, and a type outside the five.
    TAdjustVideoClipSetting Hue(Clip, TVideoAdjustment::Hue);
    TAdjustVideoClipSetting Other(Clip, static_cast<TVideoAdjustment>(5));
    EXPECT_EQ(Hue.Key(), "Hue");
    EXPECT_EQ(Other.Key(), "?");
    EXPECT_EQ(Hue.Min(), -100);
    EXPECT_EQ(Hue.Max(), 100);
    EXPECT_EQ(Hue.Default(), 0);
}

TEST_F(ClipSettingsTest, AdjustmentsStartFromTheElement) {
    TRefPtr<TFileClip> Clip{new TFileClip(0, Video("a.avi"))};
    Clip->ClipElement()->SetGamma(std::pow(10.0, 0.37));
    Clip->ClipElement()->SetBrightness(-12);
    TAdjustVideoClipSetting Gamma(Clip.Get(), TVideoAdjustment::Gamma);
    TAdjustVideoClipSetting Brightness(Clip.Get(), TVideoAdjustment::Brightness);
    EXPECT_EQ(Gamma.Value(), 37);
    EXPECT_EQ(Brightness.Value(), -12);
}

TEST_F(ClipSettingsTest, AdjustmentsAreHiddenOffTheVideoTracksAndShownBack) {
    TRefPtr<TFileClip> Clip{new TFileClip(0, Video("a.avi"))};
    VideoTrack()->InsertItem(Clip.Get(), 0);
    TChangeRecorder Recorder(*Project);
    VideoTrack()->RemoveItem(Clip.Get());
    AudioTrack()->InsertItem(Clip.Get(), 0);
    for (int32_t Type = 0; Type < 4; ++Type)
        EXPECT_EQ(Clip->AdjustSetting(static_cast<TVideoAdjustment>(Type))->State(),
                  TSettingState::Hidden)
            << Type;
    EXPECT_TRUE(
        std::any_of(Recorder.Flags().begin(), Recorder.Flags().end(),
                    [](TProjectChangeFlags Flags) { return Any(Flags & ProjectChangeSettings); }));
    AudioTrack()->RemoveItem(Clip.Get());
    VideoTrack()->InsertItem(Clip.Get(), 0);
    for (int32_t Type = 0; Type < 4; ++Type)
        EXPECT_EQ(Clip->AdjustSetting(static_cast<TVideoAdjustment>(Type))->State(),
                  TSettingState::Offered)
            << Type;
    // Showing what is shown already changes nothing.
    Recorder.Reset();
    Clip->AdjustSetting(TVideoAdjustment::Gamma)->SetState(TSettingState::Offered);
    EXPECT_TRUE(Recorder.Flags().empty());
}

// Volume and mute, and damaged records.

TEST_F(ClipSettingsTest, VolumeAndMuteReachTheElement) {
    auto* Clip = new TFileClip(0, VideoWithSound("a.avi"));
    VideoTrack()->InsertItem(Clip, 0);
    TClipElement* Element = Clip->ClipElement();
    EXPECT_EQ(Clip->VolumeSetting()->Value(), Element->Volume() * 100);
    EXPECT_FALSE(Clip->MuteSetting()->Value());
    TChangeRecorder Recorder(*Project);
    Clip->VolumeSetting()->SetValue(250);
    Clip->MuteSetting()->SetValue(true);
    EXPECT_DOUBLE_EQ(Element->Volume(), 2.5);
    EXPECT_TRUE(Element->Muted());
    EXPECT_EQ(Recorder.Flags(), std::vector<TProjectChangeFlags>(2, ProjectChangeSettings));
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { Clip->VolumeSetting()->SetValue(12.5); }));
}

TEST_F(ClipSettingsTest, StoredValuesOutOfRangeAreClampedAndReachTheElement) {
    std::string Stored = StoredMediaFileName(VideoWithSound("a.avi"), MediaFolders());
    auto* Clip = dynamic_cast<TFileClip*>(
        LoadRecord("Type = FileClip\nFileName = " + Stored +
                   "\nSettings:\n  Brightness = 250\n  Contrast = -999\n  Gamma = x\n"
                   "  Volume = -5.00000000\nend\n"));
    ASSERT_NE(Clip, nullptr);
    EXPECT_EQ(Clip->AdjustSetting(TVideoAdjustment::Brightness)->Value(), 100);
    EXPECT_EQ(Clip->AdjustSetting(TVideoAdjustment::Contrast)->Value(), -100);
    EXPECT_EQ(Clip->AdjustSetting(TVideoAdjustment::Gamma)->Value(), 0); // unreadable: kept
    EXPECT_EQ(Clip->VolumeSetting()->Value(), 0);
    EXPECT_EQ(Clip->ClipElement()->Brightness(), 128);
    EXPECT_EQ(Clip->ClipElement()->Contrast(), -128);
    EXPECT_DOUBLE_EQ(Clip->ClipElement()->Volume(), 0.0);
}

} // namespace
