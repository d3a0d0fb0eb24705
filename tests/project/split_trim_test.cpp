#include "editing_fixture.h"
#include "project/clip_effect.h"
#include "project/clip_settings.h"
#include "project/item_setting.h"
#include "project/sub_track.h"

namespace {

// An effect with a setting of its own, to see it copied.
int32_t EffectWithSettings() {
    const auto& Effects = DescriptionRegistry().Effects();
    for (int32_t P = 1; P <= Effects.Count(); ++P) {
        int32_t Index = Effects.Description(P)->Index();
        TRefPtr<TClipEffect> Probe{new TClipEffect(Index)};
        if (Probe->SettingCount() > 0 && dynamic_cast<TIntegerItemSetting*>(Probe->Setting(0)))
            return Index;
    }
    return -1;
}

class SplitTrimTest : public EditingTest {
protected:
    // A 4 s numbered video clip at 0 on the video track.
    void SetUp() override {
        EditingTest::SetUp();
        Clip = PlaceFile(VideoTrack(), Video("a.mp4", 100), 0);
    }
    TFileClip* FileAt(int32_t Index) const {
        return dynamic_cast<TFileClip*>(VideoTrack()->Item(Index));
    }
    TFileClip* Clip = nullptr;
};

TEST_F(SplitTrimTest, SplitCutsTheMediaRangeInTwo) {
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { VideoTrack()->SplitClip(Clip, Second); }));
    ASSERT_EQ(VideoTrack()->ItemCount(), 2);
    TFileClip* Second_ = FileAt(1);
    EXPECT_EQ(Clip->TrimBegin(), 0);
    EXPECT_EQ(Clip->TrimEnd(), Second);
    EXPECT_EQ(Clip->Duration(), Second);
    EXPECT_EQ(Second_->Position(), Second);
    EXPECT_EQ(Second_->TrimBegin(), Second);
    EXPECT_EQ(Second_->TrimEnd(), 4 * Second);
    EXPECT_EQ(Second_->FileName(), Clip->FileName());
    EXPECT_TRUE(EngineMatchesFresh());
}

TEST_F(SplitTrimTest, SplitNearAnEdgeKeepsTheSmallestPieceAndOutsideTheClipDoesNothing) {
    // 0.02 s after the start is moved to 0.04 s.
    VideoTrack()->SplitClip(Clip, Second / 50);
    ASSERT_EQ(VideoTrack()->ItemCount(), 2);
    EXPECT_EQ(Clip->Duration(), Second / 25);
    EXPECT_EQ(FileAt(1)->Position(), Second / 25);
    // A clip of one frame cannot leave 0.04 s on both sides.
    TFileClip* Short = PlaceFile(VideoTrack(), Video("short.mp4", 1), 10 * Second);
    int32_t Steps = UndoHistory().Count();
    VideoTrack()->SplitClip(Short, Short->Position() + Second / 100);
    EXPECT_EQ(VideoTrack()->ItemCount(), 3);
    EXPECT_EQ(UndoHistory().Count(), Steps);
}

TEST_F(SplitTrimTest, BothHalvesKeepTheSettingsAndClipEffects) {
    VideoTrack()->AddEffectSubTrack(1);
    int32_t Kind = EffectWithSettings();
    ASSERT_GE(Kind, 0);
    TClipEffect* Effect = VideoTrack()->AddClipEffect(Clip, VideoTrack()->SubTrack(1), Kind);
    ASSERT_NE(Effect, nullptr);
    auto* Amount = dynamic_cast<TIntegerItemSetting*>(Effect->Setting(0));
    Amount->SetValue(Amount->Max() == Amount->Value() ? Amount->Min() : Amount->Max());
    Clip->AdjustSetting(TVideoAdjustment::Brightness)->SetValue(40);
    Clip->AdjustSetting(TVideoAdjustment::Saturation)->SetValue(-30);
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { VideoTrack()->SplitClip(Clip, 2 * Second); }));
    TFileClip* Second_ = FileAt(1);
    EXPECT_EQ(Second_->AdjustSetting(TVideoAdjustment::Brightness)->Value(), 40);
    EXPECT_EQ(Second_->AdjustSetting(TVideoAdjustment::Saturation)->Value(), -30);
    ASSERT_EQ(Second_->ClipEffectCount(), 1);
    TClipEffect* Copy = Second_->ClipEffect(0);
    EXPECT_NE(Copy, Effect);
    EXPECT_EQ(Copy->DescriptionIndex(), Kind);
    EXPECT_EQ(Copy->SubTrack(), VideoTrack()->SubTrack(1));
    EXPECT_EQ(dynamic_cast<TIntegerItemSetting*>(Copy->Setting(0))->Value(), Amount->Value());
    EXPECT_EQ(Clip->ClipEffect(0), Effect);
    EXPECT_TRUE(EngineMatchesFresh());
}

TEST_F(SplitTrimTest, SplitMovesTheTrailingTransitionToTheSecondHalf) {
    PlaceFile(VideoTrack(), Video("b.mp4", 100), 4 * Second);
    TTransition* T = JoinLast(VideoTrack(), Second);
    auto* Next = dynamic_cast<TClip*>(VideoTrack()->Item(2));
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { VideoTrack()->SplitClip(Clip, Second); }));
    TFileClip* Second_ = FileAt(1);
    EXPECT_EQ(Clip->TrailingTransition(), nullptr);
    EXPECT_EQ(Second_->TrailingTransition(), T);
    EXPECT_EQ(T->ToClip(), Next);
    EXPECT_EQ(T->End(), Second_->End()) << Layout(VideoTrack());
    // The cut may not come within the transition.
    VideoTrack()->SplitClip(Second_, Second_->End() - Second / 2);
    EXPECT_EQ(FileAt(1)->End() + 0, Second_->Position() + Second_->Duration());
    EXPECT_LE(Second_->End(), T->End());
    EXPECT_GE(Second_->Duration(), T->Duration() + Second / 25);
}

TEST_F(SplitTrimTest, JoinTakesTheWholeMediaRangeOfTheRun) {
    VideoTrack()->SplitClip(Clip, Second);
    VideoTrack()->SplitClip(FileAt(1), 3 * Second);
    ASSERT_EQ(VideoTrack()->ItemCount(), 3);
    FileAt(0)->AdjustSetting(TVideoAdjustment::Contrast)->SetValue(70);
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { VideoTrack()->JoinClips(0, 2, 0); }));
    ASSERT_EQ(VideoTrack()->ItemCount(), 1);
    TFileClip* Joined = FileAt(0);
    EXPECT_EQ(Joined->TrimBegin(), 0);
    EXPECT_EQ(Joined->TrimEnd(), 4 * Second);
    EXPECT_EQ(Joined->Duration(), 4 * Second);
    EXPECT_EQ(Joined->AdjustSetting(TVideoAdjustment::Contrast)->Value(), 70);
    EXPECT_TRUE(EngineMatchesFresh());
}

TEST_F(SplitTrimTest, TrimStartStopsAtItsLimits) {
    VideoTrack()->TrimClipEnd(Clip, TTrimPastTransition::Stop, 3 * Second);
    ASSERT_EQ(Clip->Duration(), 3 * Second);
    // Start later by 1 s: the clip starts 1 s later and is 1 s shorter.
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { VideoTrack()->TrimClipStart(Clip, TTrimPastTransition::Stop, Second); }));
    EXPECT_EQ(Clip->TrimBegin(), Second);
    EXPECT_EQ(Clip->Position(), Second);
    EXPECT_EQ(Clip->End(), 3 * Second);
    // Back to before the track's start: only as far as 0.
    VideoTrack()->TrimClipStart(Clip, TTrimPastTransition::Stop, 0);
    EXPECT_EQ(Clip->Position(), 0);
    EXPECT_EQ(Clip->TrimBegin(), 0);
    // Never shorter than 0.25 s.
    VideoTrack()->TrimClipStart(Clip, TTrimPastTransition::Stop, 10 * Second);
    EXPECT_EQ(Clip->TrimBegin(), 3 * Second - MinimumItemDuration);
    EXPECT_EQ(Clip->Duration(), MinimumItemDuration);
    EXPECT_TRUE(EngineMatchesFresh());
}

TEST_F(SplitTrimTest, TrimEndIsBoundByMediaAndByTheNextItem) {
    VideoTrack()->TrimClipEnd(Clip, TTrimPastTransition::Stop, 2 * Second);
    PlaceTitle(VideoTrack(), 3 * Second, Second);
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { VideoTrack()->TrimClipEnd(Clip, TTrimPastTransition::Stop, 10 * Second); }));
    // The title starts at 3 s.
    EXPECT_EQ(Clip->End(), 3 * Second);
    EXPECT_EQ(Clip->TrimEnd(), 3 * Second);
    EXPECT_TRUE(EngineMatchesFresh());
}

TEST_F(SplitTrimTest, TrimmingIntoATransitionRemovesItWhenAsked) {
    PlaceFile(VideoTrack(), Video("b.mp4", 100), 4 * Second);
    TTransition* T = JoinLast(VideoTrack(), Second);
    // Without removal the clip keeps 0.25 s beyond the transition, which
    // shortens with it and comes back with it.
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { VideoTrack()->TrimClipEnd(Clip, TTrimPastTransition::Stop, Second); }));
    EXPECT_EQ(Clip->TrailingTransition(), T);
    EXPECT_EQ(Clip->End() - T->Duration() + 0, Clip->End() - T->Duration());
    EXPECT_GE(Clip->Duration(), T->Duration() + MinimumItemDuration);
    UndoHistory().Undo();
    EXPECT_EQ(Clip->Duration(), 4 * Second);
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { VideoTrack()->TrimClipEnd(Clip, TTrimPastTransition::Remove, Second); }));
    EXPECT_EQ(Clip->TrailingTransition(), nullptr);
    EXPECT_EQ(VideoTrack()->ItemCount(), 2);
    EXPECT_EQ(Clip->TrimEnd(), Second);
    EXPECT_TRUE(EngineMatchesFresh());
    // The engine source plays the trimmed range.
    UndoHistory().Undo();
    EXPECT_EQ(VideoTrack()->ItemCount(), 3);
    EXPECT_TRUE(EngineMatchesFresh());
}

TEST_F(SplitTrimTest, StillPicturesStretchAndSplitAnywhere) {
    TFileClip* Still = PlaceFile(AudioTrack() == nullptr ? VideoTrack() : VideoTrack(),
                                 Picture("p.png"), 10 * Second);
    ASSERT_TRUE(Still->IsStretchable());
    TVideoTime Length = Still->Duration();
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] {
        VideoTrack()->SplitClip(Still, Still->Position() + Length / 4);
    }));
    TFileClip* Rest = FileAt(2);
    EXPECT_EQ(Still->Duration(), Length / 4);
    EXPECT_EQ(Rest->Duration(), Length - Length / 4);
    EXPECT_EQ(Rest->TrimEnd() - Rest->TrimBegin(), Rest->Duration());
    EXPECT_TRUE(EngineMatchesFresh());
}

TEST_F(SplitTrimTest, MergeJoinsTheTouchingOrSelectedClipsOfTheSameFile) {
    VideoTrack()->SplitClip(Clip, Second);
    VideoTrack()->SplitClip(FileAt(1), 2 * Second);
    ASSERT_EQ(VideoTrack()->ItemCount(), 3);
    // Unselected neighbours that touch the clip join it.
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { VideoTrack()->MergeClip(FileAt(1)); }));
    ASSERT_EQ(VideoTrack()->ItemCount(), 1);
    EXPECT_EQ(FileAt(0)->Position(), 0);
    EXPECT_EQ(FileAt(0)->TrimEnd(), 4 * Second);
    UndoHistory().Undo();

    // A gap keeps an unselected neighbour out.
    VideoTrack()->MoveItemsTo(2, 2, 1, 5 * Second);
    VideoTrack()->MergeClip(FileAt(1));
    ASSERT_EQ(VideoTrack()->ItemCount(), 2) << Layout(VideoTrack());
    EXPECT_EQ(FileAt(0)->TrimEnd(), 2 * Second);
    EXPECT_EQ(FileAt(1)->Position(), 5 * Second);
}

TEST_F(SplitTrimTest, MergeAcrossATransitionStartsWhereTheRunStarts) {
    VideoTrack()->SplitClip(Clip, 2 * Second);
    VideoTrack()->InsertTransition(TJoinClips::Both, TTransitionDirection::Forward, Second, TransitionIndex(false), 2 * Second);
    ASSERT_EQ(VideoTrack()->ItemCount(), 3) << Layout(VideoTrack());
    TFileClip* Head = FileAt(0);
    TFileClip* Tail = FileAt(2);
    Project->Select(Head, false);
    EXPECT_TRUE(UndoRoundTrip(*Project, [&] { VideoTrack()->MergeClip(Tail); }));
    ASSERT_EQ(VideoTrack()->ItemCount(), 1) << Layout(VideoTrack());
    // The start is the head's, never the tail's start less both lengths
    // (which the overlap would make negative).
    EXPECT_EQ(FileAt(0)->Position(), 0);
    EXPECT_EQ(FileAt(0)->TrimBegin(), 0);
    EXPECT_EQ(FileAt(0)->TrimEnd(), 4 * Second);
    EXPECT_TRUE(EngineMatchesFresh());
}

} // namespace
