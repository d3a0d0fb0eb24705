#include "project/file_clip.h"

#include "item_test_fixture.h"

#include <filesystem>
#include "platform/media/media_timeline.h"
#include "project/clip_settings.h"
#include "render/file_clip_element.h"
#include "render/timeline_track.h"

namespace {

using FileClipTest = ItemTest;

TEST_F(FileClipTest, VideoFileOpensWithItsMediaLengthAndStreams) {
    TRefPtr<TFileClip> Clip{new TFileClip(3 * Second, Video("a.avi"))};
    ASSERT_TRUE(Clip->IsAvailable());
    EXPECT_TRUE(Clip->HasVideo());
    EXPECT_FALSE(Clip->IsStill());
    EXPECT_FALSE(Clip->IsStretchable());
    EXPECT_EQ(Clip->Position(), 3 * Second);
    EXPECT_EQ(Clip->MediaDuration(), 2 * Second);
    EXPECT_EQ(Clip->Duration(), 2 * Second);
    EXPECT_EQ(Clip->TrimBegin(), 0);
    EXPECT_EQ(Clip->TrimEnd(), 2 * Second);
    EXPECT_EQ(Clip->FrameWidth(), 320);
    EXPECT_EQ(Clip->FrameHeight(), 240);
    EXPECT_FALSE(Clip->CanZoomPan());
}

TEST_F(FileClipTest, StillPictureIsStretchableAndCanZoomAndPan) {
    TRefPtr<TFileClip> Clip{new TFileClip(0, Picture("p.png"))};
    ASSERT_TRUE(Clip->IsAvailable());
    EXPECT_TRUE(Clip->IsStill());
    EXPECT_TRUE(Clip->IsStretchable());
    EXPECT_TRUE(Clip->CanZoomPan());
    EXPECT_FALSE(Clip->HasAudio());
    EXPECT_EQ(Clip->MediaDuration(), 0);
    EXPECT_EQ(Clip->TrimEnd(), Clip->Duration());
    EXPECT_EQ(Clip->ZoomPanBegin(), (TZoomPanValue{0.5, 0.5, 1.0}));
    // A clip with video and no audio: the four adjustments only.
    EXPECT_NE(Clip->AdjustSetting(TVideoAdjustment::Gamma), nullptr);
    EXPECT_EQ(Clip->VolumeSetting(), nullptr);
    EXPECT_EQ(Clip->MuteSetting(), nullptr);
}

TEST_F(FileClipTest, MissingAndUndecodableFilesMakeUnavailableClips) {
    std::string Garbage = Folder.Path("broken.avi");
    WriteGarbageFile(Garbage, 4096, 7);
    for (const std::string& File : {Folder.Path("gone.avi"), Garbage}) {
        TRefPtr<TFileClip> Clip{new TFileClip(0, File)};
        EXPECT_FALSE(Clip->IsAvailable()) << File;
        EXPECT_EQ(Clip->Element(), nullptr);
        EXPECT_EQ(Clip->FileName(), File);
        EXPECT_TRUE(Clip->HasAudio());
        EXPECT_TRUE(Clip->HasVideo());
        EXPECT_TRUE(Clip->IsStretchable());
        EXPECT_EQ(Clip->Duration(), TFileClip::UnavailableDuration);
        EXPECT_EQ(Clip->MediaDuration(), TFileClip::UnavailableDuration);
        EXPECT_EQ(Clip->FrameWidth(), 320);
        // Placing it on a track is harmless.
        VideoTrack()->InsertItem(Clip.Get(), 0);
        EXPECT_EQ(VideoTrack()->RenderTrack()->ClipCount(), 0);
        VideoTrack()->RemoveItem(Clip.Get());
    }
}

TEST_F(FileClipTest, AttachingPlacesTheElementAndDetachingWithdrawsIt) {
    TRefPtr<TFileClip> Clip{new TFileClip(Second, Video("a.avi"))};
    TTimelineTrack* RenderTrack = VideoTrack()->RenderTrack();
    VideoTrack()->InsertItem(Clip.Get(), 0);
    ASSERT_EQ(RenderTrack->ClipCount(), 1);
    EXPECT_EQ(RenderTrack->Clip(1), Clip->Element());
    EXPECT_EQ(Clip->Element()->Start(), Second);
    EXPECT_EQ(Clip->Element()->Duration(), 2 * Second);
    VideoTrack()->RemoveItem(Clip.Get());
    EXPECT_EQ(RenderTrack->ClipCount(), 0);
    EXPECT_EQ(Clip->Element()->Track(), nullptr);
    // Re-inserted (as undo does) it goes back.
    VideoTrack()->InsertItem(Clip.Get(), 0);
    EXPECT_EQ(RenderTrack->ClipCount(), 1);
}

TEST_F(FileClipTest, AdjustSettingsAreHiddenOnAudioTracks) {
    TRefPtr<TFileClip> OnVideo{new TFileClip(0, Video("a.avi"))};
    TRefPtr<TFileClip> OnAudio{new TFileClip(0, Video("b.avi"))};
    VideoTrack()->InsertItem(OnVideo.Get(), 0);
    AudioTrack()->InsertItem(OnAudio.Get(), 0);
    EXPECT_EQ(OnVideo->AdjustSetting(TVideoAdjustment::Brightness)->State(),
              TSettingState::Offered);
    EXPECT_EQ(OnAudio->AdjustSetting(TVideoAdjustment::Brightness)->State(), TSettingState::Hidden);
}

TEST_F(FileClipTest, BrightnessIsScaledToTheElementRange) {
    TRefPtr<TFileClip> Clip{new TFileClip(0, Video("a.avi"))};
    VideoTrack()->InsertItem(Clip.Get(), 0);
    Clip->AdjustSetting(TVideoAdjustment::Brightness)->SetValue(50);
    EXPECT_EQ(Clip->ClipElement()->Brightness(), 64);
    Clip->AdjustSetting(TVideoAdjustment::Brightness)->SetValue(-100);
    EXPECT_EQ(Clip->ClipElement()->Brightness(), -128);
    Clip->AdjustSetting(TVideoAdjustment::Gamma)->SetValue(100);
    EXPECT_NEAR(Clip->ClipElement()->Gamma(), 10.0, 1e-3);
}

TEST_F(FileClipTest, TrimMovesTheEngineSourceMediaTimes) {
    TRefPtr<TFileClip> Clip{new TFileClip(0, Video("a.avi"))};
    VideoTrack()->InsertItem(Clip.Get(), 0);
    Clip->SetTrim(Second / 2, 3 * Second / 2);
    EXPECT_EQ(Clip->Duration(), Second);
    auto* Element = Clip->FileElement();
    EXPECT_EQ(Element->Duration(), Second);
    ASSERT_NE(Element->VideoSource(), nullptr);
    EXPECT_EQ(Element->VideoSource()->MediaStart(), Second / 2);
    EXPECT_EQ(Element->VideoSource()->MediaStop(), 3 * Second / 2);
}

TEST_F(FileClipTest, TrimOfNothingOrBeyondTheMediaIsClamped) {
    TRefPtr<TFileClip> Clip{new TFileClip(0, Video("a.avi"))};
    Clip->SetTrim(Second, Second);
    EXPECT_EQ(Clip->TrimBegin(), 0);
    EXPECT_EQ(Clip->TrimEnd(), 2 * Second);
    Clip->SetTrim(-Second, 9 * Second);
    // Clamped to the whole media, which it already had: unchanged.
    EXPECT_EQ(Clip->Duration(), 2 * Second);
    Clip->SetTrim(Second / 2, 9 * Second);
    EXPECT_EQ(Clip->TrimBegin(), Second / 2);
    EXPECT_EQ(Clip->TrimEnd(), 2 * Second);
    EXPECT_EQ(Clip->Duration(), 3 * Second / 2);
}

TEST_F(FileClipTest, StretchedStillKeepsTrimEndFollowingTheDuration) {
    TRefPtr<TFileClip> Clip{new TFileClip(0, Picture("p.png"))};
    VideoTrack()->InsertItem(Clip.Get(), 0);
    Clip->SetDuration(9 * Second);
    VideoTrack()->Normalize(false);
    EXPECT_EQ(Clip->TrimEnd(), Clip->TrimBegin() + 9 * Second);
    EXPECT_EQ(Clip->Element()->Duration(), 9 * Second);
}

TEST_F(FileClipTest, ZoomPanChangeSignalsOnceAndReachesTheElement) {
    TRefPtr<TFileClip> Clip{new TFileClip(0, Picture("p.png"))};
    VideoTrack()->InsertItem(Clip.Get(), 0);
    TChangeRecorder Recorder(*Project);
    TZoomPanValue Begin{0.25, 0.75, 0.5};
    Clip->SetZoomPan(Begin, Clip->ZoomPanEnd(), true, false);
    Clip->SetZoomPan(Begin, Clip->ZoomPanEnd(), true, false);
    ASSERT_EQ(Recorder.Flags().size(), 1u);
    EXPECT_EQ(Recorder.Flags()[0], ProjectChangeZoomPan);
    EXPECT_EQ(Clip->FileElement()->ZoomPanBegin(), Begin);
    EXPECT_TRUE(Clip->IsEqualSize());
}

TEST_F(FileClipTest, ZoomPanIsUndoableAndKeptWhileThePictureIsMissing) {
    std::string File = Picture("p.png");
    TRefPtr<TFileClip> Clip{new TFileClip(0, File)};
    VideoTrack()->InsertItem(Clip.Get(), 0);
    TZoomPanValue Begin{0.25, 0.75, 0.5}, End{0.6, 0.4, 1.5};
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { Clip->SetZoomPan(Begin, End, false, true); }));
    EXPECT_EQ(Clip->FileElement()->ZoomPanEnd(), End);
    UndoHistory().Undo();
    EXPECT_EQ(Clip->FileElement()->ZoomPanEnd(), TZoomPanValue{});
    UndoHistory().Redo();
    // Opened while the picture is gone, the clip stores its movement again.
    TData Stored;
    Project->SaveToData(Stored);
    std::string Text = Stored.SaveToText();
    std::filesystem::remove(File);
    TRefPtr<TProject> Copy{new TProject};
    TData Read;
    Read.LoadFromText(Text);
    Copy->LoadFromData(Read);
    auto* Missing = dynamic_cast<TFileClip*>(Copy->Track(0)->Item(0));
    ASSERT_NE(Missing, nullptr);
    EXPECT_FALSE(Missing->IsAvailable());
    EXPECT_EQ(ProjectText(*Copy), ProjectText(*Project));
}

} // namespace
