#include "core/exception_report.h"
#include "platform/keys.h"
#include "project/clip.h"
#include "project/drag_things.h"
#include "project/file_clip.h"
#include "project/title_clip.h"
#include "project/transition.h"
#include "render/effect_description.h"
#include "render/transition_description.h"
#include "timeline_fixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The first effect of the catalogue that is (or is not) an audio effect.
int32_t EffectIndex(bool Audio) {
    const auto& Effects = DescriptionRegistry().Effects();
    for (int32_t P = 1; P <= Effects.Count(); ++P) {
        const auto* Effect = static_cast<const TEffectDescription*>(Effects.Description(P));
        if (Effect->IsAudioEffect() == Audio && Effect->IsVideoEffect() != Audio)
            return Effect->Index();
    }
    return -1;
}

int32_t AnyTransition() {
    return DescriptionRegistry().Transitions().Description(1)->Index();
}

// Collects what the application would report to the user.
struct TReports {
    std::vector<std::string> Texts;
    TReports() {
        SetExceptionReportHandler([this](const std::exception& Error) { Texts.push_back(Error.what()); });
    }
    ~TReports() { SetExceptionReportHandler(nullptr); }
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

// ---- layout and painting

TEST(TimelineDesktop, ShowsABandPerTrackAndARowPerSubTrackUnderTheTimeBar) {
    TTimelineFixture F;
    ASSERT_EQ(F.Desktop().Tracks().Bands().size(), 5u);
    EXPECT_EQ(F.Desktop().TimeBar().Height(), Scaled(16));
    // The first band starts one pixel below the time bar; the video row is
    // the tall one.
    const TTrackFragment& Video = *F.Desktop().Tracks().Bands()[0];
    EXPECT_EQ(Video.AreaRect().Top, Scaled(16) + 1);
    EXPECT_EQ(Video.Height(), Scaled(64));
    const TTrackFragment& Sound = *F.Desktop().Tracks().Bands()[1];
    EXPECT_EQ(Sound.AreaRect().Top, Video.AreaRect().Bottom + 2);
    EXPECT_EQ(Sound.Height(), Scaled(24));
    // Content cells start after the header column and span the visible width.
    EXPECT_EQ(F.Cell(0).AreaRect().Left, Scaled(50));
    EXPECT_EQ(F.Cell(0).AreaRect().Right, F.Area->ClientWidth());
}

TEST(TimelineDesktop, AnItemIsDrawnWhereItsTimeMapsAndNowhereElse) {
    TTimelineFixture F;
    F.Title(2 * Second, 4 * Second);
    F.Settle();
    const int32_t Y = F.Cell(0).AreaRect().Top + 3;
    // 11 s: clear of the faint grid line every 10 s.
    const uint32_t Empty = F.PixelAt(F.Desktop().TimeToX(11 * Second), Y);
    EXPECT_NE(F.PixelAt(F.Desktop().TimeToX(3 * Second + Second / 2), Y), Empty);
    EXPECT_EQ(F.PixelAt(F.Desktop().TimeToX(2 * Second) - 2, Y), Empty);
    EXPECT_EQ(F.PixelAt(F.Desktop().TimeToX(6 * Second) + 2, Y), Empty);
    // The box spans exactly its time at 8 pixels per second.
    TItemFragment* Box = F.FragmentOf(F.Track(0).Item(0), 0);
    ASSERT_NE(Box, nullptr);
    EXPECT_EQ(Box->AreaRect().Left, F.Desktop().TimeToX(2 * Second));
    EXPECT_EQ(Box->Width(), 32);
}

TEST(TimelineDesktop, ASelectedItemIsDrawnInTheSelectionColours) {
    TTimelineFixture F;
    TTitleClip* Title = F.Title(2 * Second, 4 * Second);
    F.Project->Select(nullptr, false);
    F.Settle();
    const int32_t X = F.Desktop().TimeToX(3 * Second + Second / 2), Y = F.Cell(0).AreaRect().Top + 3;
    const uint32_t Plain = F.PixelAt(X, Y);
    F.Project->Select(Title, false);
    F.Window->Update();
    const uint32_t Selected = F.PixelAt(X, Y);
    EXPECT_NE(Plain, Selected);
    // Blue dominates the selection colour.
    EXPECT_GT(Selected & 0xFF, (Selected >> 16) & 0xFF);
}

TEST(TimelineDesktop, RemovingAnItemRebuildsTheRowBeforeTheNextPaint) {
    TTimelineFixture F;
    TTitleClip* Title = F.Title(2 * Second, 4 * Second);
    F.Settle();
    ASSERT_NE(F.FragmentOf(Title, 0), nullptr);
    F.Project->Select(Title, false);
    F.Project->DeleteSelection();
    EXPECT_TRUE(F.Cell(0).Children().empty());
    F.Window->Update();
    UndoHistory().Undo();
    EXPECT_EQ(F.Cell(0).Children().size(), 1u);
}

// ---- zoom and scrolling

TEST(TimelineDesktop, TwelveWheelStepsReachTheLimitsAndComeBackExactlyToNormal) {
    TTimelineFixture F;
    F.Title(0, 30 * Second);
    F.Settle();
    const TPoint Over = F.AtTime(5 * Second, 0);
    for (int I = 0; I < 13; ++I)
        F.System.ScriptWheel(Over, 1);
    F.Run();
    EXPECT_EQ(F.Desktop().PixelsPerSecond(), 512.0);
    for (int I = 0; I < 12; ++I)
        F.System.ScriptWheel(Over, -1);
    F.Run();
    EXPECT_EQ(F.Desktop().PixelsPerSecond(), 8.0);
    for (int I = 0; I < 13; ++I)
        F.System.ScriptWheel(Over, -1);
    F.Run();
    EXPECT_EQ(F.Desktop().PixelsPerSecond(), 0.125);
}

TEST(TimelineDesktop, WheelZoomKeepsTheTimeUnderThePointerNearlyInPlace) {
    TTimelineFixture F;
    F.Title(0, 120 * Second);
    F.Settle();
    const TPoint Over = F.AtTime(40 * Second, 0);
    const TVideoTime Before = F.Desktop().XToTime(Over.X - TTimelineFixture::WindowLeft - 2);
    F.System.ScriptWheel(Over, 1);
    F.System.ScriptWheel(Over, 1);
    F.Run();
    EXPECT_EQ(F.Desktop().PixelsPerSecond(), 16.0);
    EXPECT_GT(F.Desktop().ScrollX(), 0);
    const TVideoTime After = F.Desktop().XToTime(Over.X - TTimelineFixture::WindowLeft - 2);
    // The anchor is taken a quarter further out from the middle: the time
    // under the pointer moves a little toward it, never by a page.
    EXPECT_LT(std::llabs(After - Before), 10 * Second);
}

TEST(TimelineDesktop, ZoomingAnEmptyProjectDividesByNothing) {
    TTimelineFixture F;
    F.Desktop().Zoom(1, 300);
    F.Desktop().Zoom(-3, 0);
    F.Desktop().Zoom(1);
    EXPECT_EQ(F.Desktop().ScrollX(), 0);
    EXPECT_EQ(F.Desktop().ZoomStep(), -1);
}

// ---- the edit cursor

TEST(TimelineDesktop, TheCursorSnapsToAnItemEdgeWithinFourPixelsOnly) {
    TTimelineFixture F;
    F.Title(2 * Second, 4 * Second); // ends at 6 s, 48 pixels from 0
    const TTimeMarkFragment& Mark = F.Desktop().TimeMark();
    const TVideoTime PerPixel = Second / 8;
    EXPECT_EQ(Mark.SnappedTime(6 * Second + 3 * PerPixel, true), 6 * Second);
    EXPECT_EQ(Mark.SnappedTime(6 * Second + 5 * PerPixel, true), 6 * Second + 5 * PerPixel);
    EXPECT_EQ(Mark.SnappedTime(6 * Second + 3 * PerPixel, false), 6 * Second + 3 * PerPixel);
}

TEST(TimelineDesktop, ArrowKeysStepTheCursorAcrossClipEnds) {
    TTimelineFixture F;
    F.Title(5 * Second + Second / 2, 4 * Second); // ends at 9.5 s
    F.Project->SetPosition(10 * Second);
    F.Area->SetFocus();
    F.System.ScriptKey(KeyLeft);
    F.Run();
    EXPECT_EQ(F.Project->Position(), 9 * Second + Second / 2);
    F.System.ScriptKey(KeyLeft);
    F.Run();
    EXPECT_EQ(F.Project->Position(), 9 * Second);
    F.System.ScriptKey(KeyRight);
    F.Run();
    EXPECT_EQ(F.Project->Position(), 9 * Second + Second / 2);
}

// ---- dragging items

TEST(TimelineDrag, DraggingAClipsRightEdgeTrimsItInOneUndoStep) {
    TTimelineFixture F;
    TTitleClip* Title = F.Title(2 * Second, 4 * Second);
    F.Settle();
    const int32_t Steps = UndoHistory().Count();
    // 16 pixels at 8 pixels per second: 2 s longer.
    TPoint Edge = F.AtTime(6 * Second, 0);
    Edge.X -= 1;
    ScriptDrag(F.System, Edge, {Edge.X + 16, Edge.Y});
    F.Run();
    EXPECT_EQ(Title->Position(), 2 * Second);
    EXPECT_EQ(Title->Duration(), 6 * Second);
    EXPECT_FALSE(F.Project->Tracking());
    EXPECT_EQ(UndoHistory().Count(), Steps + 1);
    UndoHistory().Undo();
    EXPECT_EQ(F.Track(0).Item(0)->Duration(), 4 * Second);
}

TEST(TimelineDrag, ABodyDragMovesTheClipInOneUndoStep) {
    TTimelineFixture F;
    TTitleClip* Title = F.Title(2 * Second, 4 * Second);
    F.Settle();
    const int32_t Steps = UndoHistory().Count();
    TPoint Body = F.AtTime(4 * Second, 0);
    ScriptDrag(F.System, Body, {Body.X + 24, Body.Y});
    F.Run();
    EXPECT_EQ(Title->Position(), 5 * Second);
    EXPECT_EQ(UndoHistory().Count(), Steps + 1);
    UndoHistory().Undo();
    EXPECT_EQ(F.Track(0).Item(0)->Position(), 2 * Second);
}

TEST(TimelineDrag, ADragPastANeighboursMiddleShowsTheDropSpanAndReordersOnRelease) {
    TTimelineFixture F;
    TTitleClip* First = F.Title(0, 4 * Second);
    TTitleClip* Second_ = F.Title(4 * Second, 4 * Second);
    F.Project->Select(First, false);
    F.Settle();
    TPoint From = F.AtTime(2 * Second, 0);
    TPoint To = F.AtTime(7 * Second + Second / 2, 0);
    F.System.ScriptMouseMove(From);
    F.System.ScriptMouseDown(From);
    F.System.ScriptMouseMove({From.X + 8, From.Y});
    F.System.ScriptMouseMove(To);
    F.System.ScriptStep([&] {
        EXPECT_EQ(F.Cell(0).DragMode(), TCellDragMode::Reorder);
        // The items wait at their places until the release.
        EXPECT_EQ(First->Position(), 0);
        EXPECT_EQ(F.Track(0).Item(0), First);
    });
    F.System.ScriptMouseUp(To);
    F.Run();
    EXPECT_EQ(F.Cell(0).DragMode(), TCellDragMode::Idle);
    EXPECT_EQ(F.Track(0).Item(0), Second_);
    EXPECT_EQ(F.Track(0).Item(1), First);
    EXPECT_FALSE(F.Project->Tracking());
}

TEST(TimelineDrag, TwoSeparateSelectedBlocksMoveTogetherAndNeverReorder) {
    TTimelineFixture F;
    TTitleClip* A = F.Title(0, 2 * Second);
    TTitleClip* B = F.Title(4 * Second, 2 * Second);
    TTitleClip* C = F.Title(8 * Second, 2 * Second);
    F.Project->Select(A, false);
    F.Project->Select(C, true);
    F.Settle();
    TPoint From = F.AtTime(1 * Second, 0);
    F.System.ScriptMouseMove(From);
    F.System.ScriptMouseDown(From);
    F.System.ScriptMouseMove({From.X + 4, From.Y});
    F.System.ScriptMouseMove({From.X + 56, From.Y});
    F.System.ScriptStep([&] { EXPECT_EQ(F.Cell(0).DragMode(), TCellDragMode::Move); });
    F.System.ScriptMouseUp({From.X + 56, From.Y});
    F.Run();
    EXPECT_EQ(F.Track(0).Item(0), A);
    EXPECT_EQ(F.Track(0).Item(1), B);
    EXPECT_EQ(F.Track(0).Item(2), C);
    // A stops at B; C moves the whole way.
    EXPECT_LE(A->End(), B->Position());
    EXPECT_GT(A->Position(), 0);
    EXPECT_EQ(C->Position(), 15 * Second);
}

TEST(TimelineDrag, LosingTheMouseCaptureInTheMiddleOfADragEndsTracking) {
    TTimelineFixture F;
    TTitleClip* Title = F.Title(2 * Second, 4 * Second);
    F.Settle();
    TPoint Body = F.AtTime(4 * Second, 0);
    F.System.ScriptMouseMove(Body);
    F.System.ScriptMouseDown(Body);
    F.System.ScriptMouseMove({Body.X + 16, Body.Y});
    F.System.ScriptStep([&] {
        EXPECT_TRUE(F.Project->Tracking());
        F.System.ReleaseCapture();
        EXPECT_FALSE(F.Project->Tracking());
        EXPECT_EQ(F.Cell(0).DragMode(), TCellDragMode::Idle);
    });
    F.System.ScriptMouseMove({Body.X + 40, Body.Y});
    F.System.ScriptMouseUp({Body.X + 40, Body.Y});
    F.Run();
    EXPECT_EQ(Title->Position(), 4 * Second);
    EXPECT_FALSE(F.Project->Tracking());
}

TEST(TimelineDrag, DeleteAndUndoWhileAnItemIsHotLeaveNoStaleFragment) {
    TTimelineFixture F;
    TTitleClip* Title = F.Title(2 * Second, 4 * Second);
    F.Settle();
    TPoint Body = F.AtTime(4 * Second, 0);
    F.System.ScriptMouseMove(Body);
    F.System.ScriptStep([&] {
        ASSERT_NE(F.Area->HotFragment(), nullptr);
        F.Project->Select(Title, false);
        F.Project->DeleteSelection();
        EXPECT_EQ(F.Area->HotFragment(), nullptr);
        UndoHistory().Undo();
    });
    F.System.ScriptMouseMove({Body.X + 1, Body.Y});
    F.System.ScriptClick({Body.X + 1, Body.Y});
    F.Run();
    EXPECT_EQ(F.Track(0).ItemCount(), 1);
}

// ---- drops

TEST(TimelineDrop, FilesDroppedOnTheVideoRowGoInInOrderInOneUndoStep) {
    TTimelineFixture F;
    const std::string A = F.Video("a.avi"), B = F.Video("b.avi");
    const int32_t Steps = UndoHistory().Count();
    const TPoint At = F.AtTime(Second, 0);
    F.System.ScriptDropBegin(At);
    F.System.ScriptDropFile(A);
    F.System.ScriptDropFile(B);
    F.System.ScriptDropComplete(At);
    F.Run();
    ASSERT_EQ(F.Track(0).ItemCount(), 2);
    EXPECT_EQ(static_cast<TFileClip*>(F.Track(0).Item(0))->FileName(), A);
    EXPECT_EQ(static_cast<TFileClip*>(F.Track(0).Item(1))->FileName(), B);
    EXPECT_EQ(F.Track(0).Item(0)->Position(), Second);
    EXPECT_EQ(F.Track(0).Item(1)->Position(), F.Track(0).Item(0)->End());
    EXPECT_EQ(UndoHistory().Count(), Steps + 1);
    EXPECT_EQ(F.Cell(0).Children().size(), 2u);
    UndoHistory().Undo();
    EXPECT_EQ(F.Track(0).ItemCount(), 0);
}

TEST(TimelineDrop, AnUnreadableFileIsRefusedByNameAndTheOthersGoIn) {
    TTimelineFixture F;
    TReports Reports;
    const std::string Good = F.Video("good.avi");
    const std::string Bad = F.Folder.Path("bad.avi");
    WriteGarbageFile(Bad, 4096, 7);
    const TPoint At = F.AtTime(0, 0);
    F.System.ScriptDropBegin(At);
    F.System.ScriptDropFile(Bad);
    F.System.ScriptDropFile(Good);
    F.System.ScriptDropComplete(At);
    F.Run();
    ASSERT_EQ(F.Track(0).ItemCount(), 1);
    EXPECT_EQ(static_cast<TFileClip*>(F.Track(0).Item(0))->FileName(), Good);
    ASSERT_EQ(Reports.Texts.size(), 1u);
    EXPECT_NE(Reports.Texts[0].find(Bad), std::string::npos);
}

TEST(TimelineDrop, AVideoOnlyFileIsRefusedOnAnAudioTrack) {
    TTimelineFixture F;
    TReports Reports;
    const std::string Silent = F.Video("silent.avi");
    const TPoint At = F.AtTime(Second, 1);
    F.System.ScriptDropBegin(At);
    F.System.ScriptDropFile(Silent);
    F.System.ScriptDropComplete(At);
    F.Run();
    EXPECT_EQ(F.Track(1).ItemCount(), 0);
    ASSERT_EQ(Reports.Texts.size(), 1u);
    EXPECT_NE(Reports.Texts[0].find(Silent), std::string::npos);
    // The same clip dragged from a browser is refused there too.
    TFileClipDragThing Thing(Silent);
    EXPECT_FALSE(F.Cell(1).AcceptsDrop(Thing));
    EXPECT_TRUE(F.Cell(0).AcceptsDrop(Thing));
}

TEST(TimelineDrop, AClipDroppedInTheMiddleOfATransitionGoesIntoIt) {
    TTimelineFixture F;
    F.Title(0, 4 * Second);
    F.Title(4 * Second, 4 * Second);
    TTransition* Join = F.Track(0).InsertTransition(TJoinClips::Both, TTransitionDirection::Forward, Second,
                                                    AnyTransition(), 4 * Second);
    ASSERT_NE(Join, nullptr);
    F.Settle();
    TFileClipDragThing Thing(F.Video("c.avi"));
    const TVideoTime Middle = Join->Position() + Join->Duration() / 2;
    const int32_t X = int32_t(F.Desktop().TimeToPixels(Middle));
    TDropPlacement Place = F.Cell(0).PlaceDrop(Thing, X, 0);
    EXPECT_EQ(Place.Kind, TDropKind::IntoTransition);
    EXPECT_EQ(Place.Index, Join->Index());
    // At the transition's edge it goes before or after instead.
    const int32_t Edge = int32_t(F.Desktop().TimeToPixels(Join->Position()));
    EXPECT_EQ(F.Cell(0).PlaceDrop(Thing, Edge, 0).Kind, TDropKind::Insert);
    // The drop itself splits the transition around the new clip.
    const int32_t Before = F.Track(0).ItemCount();
    F.Cell(0).DropMoved(Thing, X, 0);
    EXPECT_TRUE(F.Cell(0).Drop(Thing));
    EXPECT_EQ(F.Track(0).ItemCount(), Before + 2);
}

TEST(TimelineDrop, AnAudioEffectOnAnAudioOnlyClipBecomesAClipEffect) {
    TTimelineFixture F;
    const int32_t Audio = EffectIndex(true), Video = EffectIndex(false);
    ASSERT_GE(Audio, 0);
    ASSERT_GE(Video, 0);
    F.Track(1).InsertFile(TKeepTransitions::Neither, F.Tone("tone.wav"), 0);
    F.Settle();
    const int32_t X = int32_t(F.Desktop().TimeToPixels(Second));
    TEffectDragThing AudioEffect(Audio, 2 * Second, 0), VideoEffect(Video, 2 * Second, 0);
    EXPECT_TRUE(F.Cell(1).AcceptsDrop(AudioEffect));
    TDropPlacement Place = F.Cell(1).PlaceDrop(AudioEffect, X, 0);
    EXPECT_EQ(Place.Kind, TDropKind::ClipEffect);
    EXPECT_EQ(Place.Index, 0);
    EXPECT_EQ(F.Cell(1).PlaceDrop(VideoEffect, X, 0).Kind, TDropKind::None);
    F.Cell(1).DropMoved(AudioEffect, X, 0);
    EXPECT_TRUE(F.Cell(1).Drop(AudioEffect));
    EXPECT_EQ(static_cast<TClip*>(F.Track(1).Item(0))->ClipEffectCount(), 1);
}

TEST(TimelineDrop, ATitleDroppedOnTheVideoRowGoesInWithTheDefaultText) {
    TTimelineFixture F;
    TTitleClipDragThing Thing(TTimelineFixture::FirstTitleStyle(), 3 * Second);
    ASSERT_TRUE(F.Cell(0).AcceptsDrop(Thing));
    EXPECT_FALSE(F.Cell(1).AcceptsDrop(Thing));
    F.Cell(0).DropEntered(Thing);
    F.Cell(0).DropMoved(Thing, int32_t(F.Desktop().TimeToPixels(10 * Second)), 0);
    EXPECT_EQ(F.Cell(0).Placement().Kind, TDropKind::Insert);
    EXPECT_TRUE(F.Cell(0).Drop(Thing));
    ASSERT_EQ(F.Track(0).ItemCount(), 1);
    auto* Title = dynamic_cast<TTitleClip*>(F.Track(0).Item(0));
    ASSERT_NE(Title, nullptr);
    EXPECT_FALSE(Title->Text().empty());
    EXPECT_FALSE(F.Cell(0).DropAccepted());
}
