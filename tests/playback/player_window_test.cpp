#include "playback/player_window.h"

#include "platform/media/video_frame.h"
#include "playback/file_player.h"
#include "playback/player_time.h"
#include "playback/player_windows.h"
#include "playback/shared_full_screen.h"
#include "platform/keys.h"
#include "playback_test_support.h"
#include "render/file_clip_element.h"
#include "render/preview_graph.h"
#include "render/timeline.h"

#include <gtest/gtest.h>

namespace {

constexpr TVideoTime Second = 10000000;

class PlayerWindowFile : public ::testing::Test {
protected:
    TTempFolder Folder;
    TPlayerHarness H;
};

// A 64 x 48 clip in a 200 x 100 window is scaled by 100 / 48 to 133 x 100
// and centred: bars of 33 and 34 pixels left and right.
TEST_F(PlayerWindowFile, AClipPlaysLetterboxedAndPausesAtItsEnd) {
    std::string File = SolidClip(Folder, "red.avi", 200, 40, 40, 50);
    H.Player->ShowFile(File);
    ASSERT_TRUE(H.Player->HasSourceAndRange());
    EXPECT_EQ(H.Player->RangeLength(), 2 * Second);
    EXPECT_EQ(H.Player->VideoRect(), TRect::FromSize(33, 0, 133, 100));
    EXPECT_TRUE(H.Player->IsPlaying());

    ASSERT_TRUE(H.RunUntil([&] { return H.Player->Position() > Second / 2; }));
    TVideoTime Early = H.Player->Position();
    ASSERT_TRUE(H.RunUntil([&] { return H.Player->Position() > Early + Second / 5; }));
    ASSERT_TRUE(H.RunUntil([&] { return H.Player->FramesShown() > 0; }));
    EXPECT_TRUE(Near(RgbOf(H.PresentedPixel(100, 50)), 200, 40, 40));
    EXPECT_TRUE(Near(RgbOf(H.PresentedPixel(33, 50)), 200, 40, 40));
    EXPECT_TRUE(Near(RgbOf(H.PresentedPixel(165, 50)), 200, 40, 40));
    for (int32_t X : {0, 32, 166, 199})
        EXPECT_TRUE(Near(RgbOf(H.PresentedPixel(X, 50)), 0, 0, 0, 0)) << "bar at x = " << X;

    ASSERT_TRUE(H.RunUntil([&] { return !H.Player->IsPlaying(); }, 10));
    EXPECT_TRUE(H.Player->AtRangeEnd());
    EXPECT_GE(H.Player->Position(), 2 * Second - Second / 10);

    // Play at the end starts again from the beginning.
    H.Player->Play();
    EXPECT_TRUE(H.Player->IsPlaying());
    EXPECT_LT(H.Player->Position(), Second / 2);
    ASSERT_TRUE(H.RunUntil([&] { return H.Player->Position() > Second / 4; }));
    EXPECT_TRUE(H.Player->IsPlaying());
}

TEST_F(PlayerWindowFile, PauseHoldsThePositionAndPlayPauseGoesOn) {
    H.Player->ShowFile(SolidClip(Folder, "green.avi", 40, 200, 40, 50));
    ASSERT_TRUE(H.RunUntil([&] { return H.Player->Position() > Second / 4; }));
    H.Player->PlayPause();
    EXPECT_FALSE(H.Player->IsPlaying());
    TVideoTime Held = H.Player->Position();
    H.RunFor(150);
    EXPECT_EQ(H.Player->Position(), Held);
    H.Player->PlayPause();
    EXPECT_TRUE(H.Player->IsPlaying());
    ASSERT_TRUE(H.RunUntil([&] { return H.Player->Position() > Held + Second / 10; }));
    H.Player->Halt();
    EXPECT_FALSE(H.Player->IsPlaying());
}

TEST_F(PlayerWindowFile, ScrubbingPausesAndResumesAPlay) {
    H.Player->ShowFile(SolidClip(Folder, "blue.avi", 40, 40, 200, 50));
    H.Player->BeginScrub();
    EXPECT_TRUE(H.Player->IsScrubbing());
    EXPECT_TRUE(H.Player->IsPlaying()) << "a scrub of a play still counts as playing";
    H.Player->SeekTo(Second);
    EXPECT_EQ(H.Player->Position(), Second);
    H.Player->EndScrub();
    EXPECT_TRUE(H.Player->PlayerObject()->IsPlaying());
    ASSERT_TRUE(H.RunUntil([&] { return H.Player->Position() > Second + Second / 10; }));
}

TEST_F(PlayerWindowFile, StepMovesByOneFrameOfTheFile) {
    H.Player->ShowFile(SolidClip(Folder, "grey.avi", 90, 90, 90, 50));
    H.Player->Halt();
    H.Player->SeekTo(Second);
    H.Player->Step(1);
    EXPECT_EQ(H.Player->Position(), Second + Second / 25);
    H.Player->Step(-2);
    EXPECT_EQ(H.Player->Position(), Second - Second / 25);
}

// Full screen shows the video on the shared screen-sized window, scaled to
// it, while the player window itself shows black; Escape there leaves.
TEST_F(PlayerWindowFile, FullScreenShowsTheVideoAndEscapeLeavesIt) {
    H.Player->ShowFile(SolidClip(Folder, "blue.avi", 40, 40, 200, 75));
    ASSERT_TRUE(H.RunUntil([&] { return H.Player->FramesShown() > 0; }));
    TPlayerWindow::ToggleFullScreen();
    EXPECT_TRUE(H.Player->IsFullScreen());
    TSharedFullScreen* Screen = TSharedFullScreen::Existing();
    ASSERT_NE(Screen, nullptr);
    EXPECT_EQ(Screen->Source(), H.Player);
    TRect Desktop = H.System.DesktopBounds();
    int64_t Shown = H.Player->FramesShown();
    ASSERT_TRUE(H.RunUntil([&] {
        Screen->Host().Update();
        return H.Player->FramesShown() > Shown + 1;
    }));
    TPixelView Full = H.System.Presented(Screen->Host().Native());
    ASSERT_EQ(Full.Width, Desktop.Width());
    uint32_t Centre = 0;
    std::memcpy(&Centre, Full.At(Full.Width / 2, Full.Height / 2), 4);
    EXPECT_TRUE(Near(RgbOf(Centre), 40, 40, 200));
    EXPECT_TRUE(Near(RgbOf(H.PresentedPixel(100, 50)), 0, 0, 0, 0));

    H.System.ScriptKey(KeyEscape);
    H.System.RunLoop([&] { return H.System.ScriptLength() == 0; });
    ASSERT_TRUE(H.RunUntil([&] { return !H.Player->IsFullScreen(); }));
    EXPECT_EQ(Screen->Source(), nullptr);
    ASSERT_TRUE(H.RunUntil([&] { return Near(RgbOf(H.PresentedPixel(100, 50)), 40, 40, 200); }));
}

TEST_F(PlayerWindowFile, AWindowFreedWithFramesInFlightDropsThem) {
    std::string File = SolidClip(Folder, "red.avi", 200, 40, 40, 50);
    auto& Doomed = H.Root.Add<TPlayerWindow>();
    Doomed.SetBounds(TRect::FromSize(0, 0, 50, 50));
    Doomed.ShowFile(File);
    ASSERT_TRUE(H.RunUntil([&] { return Doomed.FramesArrived() > 2; }));
    // Let the engine post without the loop taking its messages, then free
    // the window while they wait.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    size_t Before = PlayerWindows().Windows().size();
    H.Root.RemoveChild(Doomed).reset();
    EXPECT_EQ(PlayerWindows().Windows().size(), Before - 1);
    EXPECT_GE(UiMessages().ProcessPending(), 1) << "a message was in flight";
    H.RunFor(100);
    EXPECT_FALSE(PlayerWindows().IsTicking());
}

// Two clips of a second each on the project's timeline: red, then blue.
class PlayerWindowTimeline : public ::testing::Test {
protected:
    void SetUp() override {
        Red = std::make_unique<TFileClipElement>(SolidClip(Folder, "red.avi", 220, 30, 30, 25, 64, 48),
                                                 true, true, -1);
        Blue = std::make_unique<TFileClipElement>(
            SolidClip(Folder, "blue.avi", 30, 30, 220, 25, 64, 48), true, true, -1);
        Red->MoveTo(Timeline.Track(1), -3, 0);
        Blue->MoveTo(Timeline.Track(1), -3, Second);
    }
    void TearDown() override { H.Player->Detach(); }

    TTempFolder Folder;
    TTimeline Timeline;
    std::unique_ptr<TFileClipElement> Red, Blue;
    TPlayerHarness H;
};

TEST_F(PlayerWindowTimeline, SeekingShowsTheSecondClipAndTheTimeDisplayFollows) {
    auto& Time = H.Root.Add<TPlayerTime>(H.Player);
    EXPECT_EQ(Time.Text(), "--:--.--");
    H.Player->ShowProject(Timeline, 0);
    EXPECT_EQ(H.Player->RangeLength(), 2 * Second);
    EXPECT_EQ(Time.Text(), "00:00.00");
    // The timeline is 320 x 240: 133 x 100 in the window.
    EXPECT_EQ(H.Player->VideoRect(), TRect::FromSize(33, 0, 133, 100));
    H.Player->SeekTo(Second * 3 / 2);
    EXPECT_EQ(Time.Text(), "00:01.50");
    int64_t Shown = H.Player->FramesShown();
    ASSERT_TRUE(H.RunUntil([&] {
        return H.Player->FramesShown() > Shown && Near(RgbOf(H.PresentedPixel(100, 50)), 30, 30, 220);
    })) << "centre pixel " << std::hex << H.PresentedPixel(100, 50);
    EXPECT_EQ(Time.Text(), "00:01.50");
    H.Player->SeekTo(Second / 2);
    ASSERT_TRUE(H.RunUntil([&] { return Near(RgbOf(H.PresentedPixel(100, 50)), 220, 30, 30); }));
}

TEST_F(PlayerWindowTimeline, ShowItemPlaysOnlyTheItemsStretch) {
    H.Player->ShowItem(Timeline, *Blue, 0);
    EXPECT_EQ(H.Player->RangeStart(), Second);
    EXPECT_EQ(H.Player->RangeLength(), Second);
    // Regression: the item's end was aligned to the frame grid twice, so
    // seeks stopped a frame early and the last frame was never shown. The
    // furthest seek is the aligned end less 2 units.
    H.Player->SeekTo(10 * Second);
    EXPECT_EQ(H.Player->Position(), Second - 2);
    EXPECT_TRUE(H.Player->AtRangeEnd());
    H.Player->SeekTo(0);
    H.Player->Play();
    ASSERT_TRUE(H.RunUntil([&] { return H.Player->FramesShown() > 1; }));
    EXPECT_TRUE(Near(RgbOf(H.PresentedPixel(100, 50)), 30, 30, 220));
    ASSERT_TRUE(H.RunUntil([&] { return !H.Player->IsPlaying(); }, 10));
    EXPECT_TRUE(H.Player->AtRangeEnd());
}

TEST_F(PlayerWindowTimeline, AnEditWhilePlayingKeepsThePositionAndThePlay) {
    H.Player->ShowProject(Timeline, 0);
    H.Player->Play();
    ASSERT_TRUE(H.RunUntil([&] { return H.Player->Position() > Second / 2; }));
    TVideoTime Before = H.Player->Position();
    auto Green = std::make_unique<TFileClipElement>(
        SolidClip(Folder, "green.avi", 30, 220, 30, 25, 64, 48), true, true, -1);
    {
        TTimelineUpdateGuard Edit(Timeline);
        ASSERT_NE(Timeline.Preview(), nullptr);
        EXPECT_TRUE(Timeline.Preview()->IsSuspended());
        Green->MoveTo(Timeline.Track(1), -3, 2 * Second);
        // The engine's threads are gone: nothing moves while the edit runs.
        TVideoTime Held = Timeline.GetPosition();
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        EXPECT_EQ(Timeline.GetPosition(), Held);
        EXPECT_GE(Held, Before);
    }
    EXPECT_FALSE(Timeline.Preview()->IsSuspended());
    EXPECT_TRUE(Timeline.IsPlaying());
    EXPECT_GE(Timeline.GetPosition(), Before);
    EXPECT_EQ(Timeline.GetDuration(), 3 * Second);
    // The play goes on to the end of the range it was given...
    ASSERT_TRUE(H.RunUntil([&] { return Timeline.GetPosition() > Before + Second / 5; }));
    ASSERT_TRUE(H.RunUntil([&] { return !H.Player->IsPlaying(); }));
    EXPECT_TRUE(H.Player->AtRangeEnd());
    // ...and the project shown again covers the new clip.
    H.Player->ShowProject(Timeline, 2 * Second);
    EXPECT_EQ(H.Player->RangeLength(), 3 * Second);
    H.Player->PlayPause();
    ASSERT_TRUE(H.RunUntil([&] { return Near(RgbOf(H.PresentedPixel(100, 50)), 30, 220, 30); }));
    H.Player->Halt();
    {
        TTimelineUpdateGuard Edit(Timeline);
        Green->Detach();
    }
    EXPECT_FALSE(Timeline.IsPlaying()) << "a paused preview stays paused after an edit";
}

TEST(PlayerWindows, WindowsRegisterAndAnnounce) {
    struct TCounter {
        int Windows = 0;
        void Changed(TObject*, TPlayerChangeFlags Flags) { Windows += Flags == PlayerChangeWindows; }
    } Counter;
    PlayerWindows().Changes().AddChangeHandler(MakeDelegate<&TCounter::Changed>(&Counter));
    size_t Before = PlayerWindows().Windows().size();
    {
        TPlayerWindow Window;
        EXPECT_EQ(PlayerWindows().Windows().size(), Before + 1);
        EXPECT_EQ(PlayerWindows().Windows().back(), &Window);
        EXPECT_FALSE(Window.HasSourceAndRange());
        Window.Play(); // without a player object nothing happens
        EXPECT_FALSE(Window.IsPlaying());
    }
    EXPECT_EQ(PlayerWindows().Windows().size(), Before);
    EXPECT_EQ(Counter.Windows, 2);
    PlayerWindows().Changes().RemoveChangeHandler(MakeDelegate<&TCounter::Changed>(&Counter));
}

} // namespace
