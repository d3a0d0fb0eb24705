#include "editors/timeline_targets.h"
#include "platform/media/audio_device.h"
#include "platform/message_queue.h"
#include "playback/player_window.h"
#include "project/file_clip.h"
#include "project/item.h"
#include "project/sub_track.h"
#include "render/preview_graph.h"
#include "render/timeline.h"
#include "render/timeline_element.h"
#include "timeline_fixture.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>

namespace {

// The fixture with a small player window in the corner of the same window,
// which the timeline binds to.
struct TPlayerFixture : TTimelineFixture {
    TPlayerWindow* Player = nullptr;
    TPlayerFixture() {
        Player = &Root.Add<TPlayerWindow>();
        Player->SetBounds(TRect::FromSize(Width - 40, Height - 30, 40, 30));
        Settle();
    }
    ~TPlayerFixture() {
        Player->Detach();
    }
    TPoint TimeBarAt(TVideoTime Time) const { return Screen(Desktop().TimeToX(Time), 5); }
    // Runs the engine's posted messages until the player has had more than
    // Frames frames, for at most 10 s; false when none came.
    bool WaitForFrameAfter(int64_t Frames) {
        auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        auto Arrived = [&] { return Player->FramesArrived() > Frames; };
        while (!Arrived() && std::chrono::steady_clock::now() < Deadline)
            UiMessages().WaitAndProcess(Arrived, std::chrono::milliseconds(10));
        return Arrived();
    }
    // Runs the posted messages until Count has not changed for 300 ms (at
    // most 5 s), and returns it: the engine opens decoders on its threads.
    int32_t Settled(const std::function<int32_t()>& Count) {
        auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        int32_t Last = Count();
        auto Since = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() < Deadline &&
               std::chrono::steady_clock::now() - Since < std::chrono::milliseconds(300)) {
            UiMessages().WaitAndProcess([] { return false; }, std::chrono::milliseconds(10));
            if (int32_t Now = Count(); Now != Last) {
                Last = Now;
                Since = std::chrono::steady_clock::now();
            }
        }
        return Last;
    }
};

// A press at From, moves to To in two steps, and the release there.
void ScriptDrag(THeadlessWindowSystem& System, TPoint From, TPoint To) {
    System.ScriptMouseMove(From);
    System.ScriptMouseDown(From);
    System.ScriptMouseMove({(From.X + To.X) / 2, To.Y});
    System.ScriptMouseMove(To);
    System.ScriptMouseUp(To);
}

} // namespace

TEST(TimelinePlayer, TheTimeBarLoadsTheTimelineAtThePressTimeAndADoubleClickPlays) {
    TPlayerFixture F;
    F.Title(0, 20 * Second);
    ASSERT_EQ(F.Desktop().BoundPlayer(), F.Player);
    F.System.ScriptClick(F.TimeBarAt(7 * Second));
    F.Run();
    EXPECT_EQ(F.Project->Position(), 7 * Second);
    EXPECT_EQ(F.Player->PlayerObject(), &F.Project->Timeline());
    EXPECT_EQ(F.Player->RequestedPosition(), 7 * Second);
    EXPECT_FALSE(F.Player->IsPlaying());

    F.System.ScriptMouseDown(F.TimeBarAt(3 * Second));
    F.System.ScriptMouseUp(F.TimeBarAt(3 * Second));
    F.System.ScriptMouseDown(F.TimeBarAt(3 * Second), TMouseButton::Left, 2);
    F.System.ScriptMouseUp(F.TimeBarAt(3 * Second));
    F.Run();
    EXPECT_EQ(F.Project->Position(), 3 * Second);
    EXPECT_TRUE(F.Player->IsPlaying());
    F.Player->Halt();
}

TEST(TimelinePlayer, APressOnAnEmptyRowMovesTheCursorAndThePlayerThere) {
    TPlayerFixture F;
    F.Title(0, 20 * Second);
    // The sound track is empty under the title.
    F.System.ScriptClick(F.AtTime(12 * Second, 1));
    F.Run();
    EXPECT_EQ(F.Project->Position(), 12 * Second);
    EXPECT_EQ(F.Player->PlayerObject(), &F.Project->Timeline());
    EXPECT_EQ(F.Player->RequestedPosition(), 12 * Second);
    // A right press near the cursor line keeps the cursor (the menu will
    // act there).
    const TPoint Near = F.AtTime(12 * Second, 1);
    F.System.ScriptClick({Near.X + 3, Near.Y}, TMouseButton::Right);
    F.Run();
    EXPECT_EQ(F.Project->Position(), 12 * Second);
}

TEST(TimelinePlayer, ADoubleClickOnAnItemShowsItAloneFromTheTimeUnderTheMouse) {
    TPlayerFixture F;
    F.Title(0, 4 * Second);
    TTitleClip* Second_ = F.Title(4 * Second, 8 * Second);
    ASSERT_NE(Second_->Element(), nullptr);
    const TPoint At = F.AtTime(7 * Second, 0);
    F.System.ScriptMouseDown(At);
    F.System.ScriptMouseUp(At);
    F.System.ScriptMouseDown(At, TMouseButton::Left, 2);
    F.System.ScriptMouseUp(At);
    F.Run();
    EXPECT_TRUE(Second_->IsSelected());
    EXPECT_EQ(F.Player->RangeStart(), Second_->Element()->Start());
    EXPECT_LE(F.Player->RangeLength(), Second_->Element()->Duration());
    EXPECT_EQ(F.Player->RequestedPosition(), 7 * Second);
    // Nothing moved.
    EXPECT_EQ(Second_->Position(), 4 * Second);
}

TEST(TimelinePlayer, DraggingTheCursorHoldsAPlayingPlayerAndResumesIt) {
    TPlayerFixture F;
    F.Title(0, 20 * Second);
    F.Project->SetPosition(2 * Second);
    F.Settle();
    F.Player->ShowProject(F.Project->Timeline(), 2 * Second);
    F.Player->Play();
    ASSERT_TRUE(F.Player->IsPlaying());
    const TPoint Mark = F.Screen(F.Desktop().TimeToX(2 * Second), 5);
    bool PlayingMidDrag = true;
    F.System.ScriptMouseMove(Mark);
    F.System.ScriptMouseDown(Mark);
    F.System.ScriptMouseMove({Mark.X + 40, Mark.Y});
    F.System.ScriptStep([&] { PlayingMidDrag = F.Player->IsPlaying(); });
    F.System.ScriptMouseUp({Mark.X + 40, Mark.Y});
    F.Run();
    EXPECT_FALSE(PlayingMidDrag);
    EXPECT_TRUE(F.Player->IsPlaying());
    F.Player->Halt();
}

// The preview lives through edits: the sound device is opened once for the
// program, and the decoders of the clip on show are not opened again when
// an edit moves or trims it.
TEST(TimelinePlayer, EditsKeepTheSoundDeviceOpenAndTheDecodersOfTheClipOnShow) {
    const int32_t OpensBefore = TAudioDevice::OpenCount();
    TPlayerFixture F;
    // Two clips of 4 s with sound, at 0 and 6 s; the player stands at 8 s,
    // inside the second clip, which the edits drag with the mouse, trim a
    // second shorter and undo.
    const std::string A = F.Video("a.avi", 100, true), B = F.Video("b.avi", 100, true);
    F.Track(0).InsertFile(TKeepTransitions::Neither, A, 0);
    F.Track(0).InsertFile(TKeepTransitions::Neither, B, 6 * Second);
    ASSERT_EQ(F.Track(0).ItemCount(), 2);
    F.Project->SetPosition(8 * Second);
    F.Settle();
    F.Player->ShowProject(F.Project->Timeline(), 8 * Second);
    ASSERT_TRUE(F.WaitForFrameAfter(0));
    const TPreviewGraph* Preview = F.Project->Timeline().Preview();
    ASSERT_NE(Preview, nullptr);
    auto Decoders = [&] { return Preview->OpenedDecoderCount(); };
    const int32_t DecodersBefore = F.Settled(Decoders);
    ASSERT_GE(DecodersBefore, 2); // the second clip's picture and sound

    const int32_t Edits = 100;
    for (int32_t I = 0; I < Edits; ++I) {
        const TTrackItem& Clip = *F.Track(0).Item(1);
        if (I % 4 == 0) {
            TPoint Body = F.AtTime(Clip.Position() + Second, 0);
            ScriptDrag(F.System, Body, {Body.X + 8, Body.Y}); // 1 s later
        } else if (I % 4 == 1) {
            // File clips are trimmed by their media times (the clip editor's
            // trim), not by their edges on the timeline.
            auto* File = static_cast<TFileClip*>(F.Track(0).Item(1));
            F.Track(0).TrimClipEnd(File, TTrimPastTransition::Stop, File->TrimEnd() - Second);
        } else {
            UndoHistory().Undo();
        }
        F.Run();
        // As the main window follows the project after each edit.
        F.Player->ShowProject(F.Project->Timeline(), F.Project->Position());
        // Every edit was made: the two undos take the trim and the drag back.
        const TTrackItem& Edited = *F.Track(0).Item(1);
        ASSERT_EQ(Edited.Position(), I % 4 == 3 ? 6 * Second : 7 * Second) << I;
        ASSERT_EQ(Edited.Duration(), I % 4 == 1 ? 3 * Second : 4 * Second) << I;
    }
    const int64_t Arrived = F.Player->FramesArrived();
    F.Player->SeekTo(8 * Second);
    EXPECT_TRUE(F.WaitForFrameAfter(Arrived));

    EXPECT_EQ(F.Project->Timeline().Preview(), Preview);
    EXPECT_EQ(TAudioDevice::OpenCount(), std::max(OpensBefore, 1));
    EXPECT_EQ(F.Settled(Decoders), DecodersBefore);
}

TEST(TimelineTargets, EachPlaceGivesItsMenuTarget) {
    TTimelineFixture F;
    TTitleClip* Title = F.Title(2 * Second, 4 * Second);
    F.Settle();
    const TTimelineDesktop& Desktop = F.Desktop();
    auto At = [&](TPoint Screen) { return TimelineTargetAt(Desktop, {Screen.X - F.Screen(0, 0).X, Screen.Y - F.Screen(0, 0).Y}); };

    TTimelineTarget OnItem = At(F.AtTime(3 * Second, 0));
    EXPECT_EQ(OnItem.Kind, TTimelineTargetKind::Item);
    EXPECT_EQ(OnItem.Item.Get(), static_cast<TItem*>(Title));

    TTimelineTarget OnCell = At(F.AtTime(10 * Second, 1));
    ASSERT_EQ(OnCell.Kind, TTimelineTargetKind::SubTrack);
    EXPECT_EQ(OnCell.SubTrack.SubTrack.Get(), &F.Cell(1).SubTrack());
    EXPECT_EQ(OnCell.SubTrack.Part, TSubTrackPart::Content);
    EXPECT_NEAR(double(OnCell.SubTrack.Time), double(10 * Second), double(Second / 8));

    const TSubTrackHeaderFragment& Header = *Desktop.Tracks().Bands()[0]->Rows()[0].Header;
    const TRect Box = Header.AreaRect();
    TTimelineTarget Top = TimelineTargetAt(Desktop, {Box.Left + 5, Box.Top + 1});
    ASSERT_EQ(Top.Kind, TTimelineTargetKind::SubTrack);
    EXPECT_EQ(Top.SubTrack.Part, TSubTrackPart::HeaderTop);
    EXPECT_EQ(Top.SubTrack.SubTrack.Get(), &Header.SubTrack());
    EXPECT_EQ(TimelineTargetAt(Desktop, {Box.Left + 5, Box.Top + Box.Height() / 2}).SubTrack.Part,
              TSubTrackPart::Header);

    // Between the first two bands over the header column: a new track would
    // go at index 1; the same gap right of the header column has no index.
    const TTrackFragment& First = *Desktop.Tracks().Bands()[0];
    const int32_t Gap = First.AreaRect().Bottom;
    TTimelineTarget Insert = TimelineTargetAt(Desktop, {5, Gap});
    ASSERT_EQ(Insert.Kind, TTimelineTargetKind::Timeline);
    EXPECT_EQ(Insert.Timeline.Kind, 1);
    EXPECT_EQ(Insert.Timeline.Index, 1);
    TTimelineTarget Plain = TimelineTargetAt(Desktop, {300, Gap});
    ASSERT_EQ(Plain.Kind, TTimelineTargetKind::Timeline);
    EXPECT_EQ(Plain.Timeline.Kind, 0);
    EXPECT_EQ(Plain.Timeline.Index, -1);
    // Below the last band over the header column: at the end.
    TTimelineTarget End = TimelineTargetAt(Desktop, {5, TTimelineFixture::Height - 6});
    ASSERT_EQ(End.Kind, TTimelineTargetKind::Timeline);
    EXPECT_EQ(End.Timeline.Index, F.Project->TrackCount());

    EXPECT_EQ(TimelineTargetAt(Desktop, {300, 4}).Kind, TTimelineTargetKind::None);
}
