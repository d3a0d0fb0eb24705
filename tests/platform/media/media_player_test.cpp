#include "platform/media/media_player.h"

#include "platform/media/frame_grabber.h"
#include "platform/media/media_timeline.h"
#include "platform/media/video_frame.h"
#include "platform/message_queue.h"
#include "test_media.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

constexpr TVideoTime Second = 10000000;
const TColor Red = MakeColor(255, 0, 0), Blue = MakeColor(0, 0, 255);

void AddColor(TMediaTrack* Track, TVideoTime Start, TVideoTime Stop, const char* Argb) {
    auto Source = std::make_unique<TMediaSource>();
    Source->SetSubObjectClassId(MediaClassIds::ColorSource());
    Source->SetStartStop(Start, Stop);
    Source->SetMediaTimes(0, Stop - Start);
    TPropertySetter Properties;
    Properties.SetValue("color", Argb);
    Source->SetProperties(std::move(Properties));
    Track->SrcAdd(std::move(Source));
}

// Red for a second, then blue for a second, over a tone.
class MediaPlayer : public ::testing::TestWithParam<TMediaPlayer::TAudioOutput> {
protected:
    void SetUp() override {
        // Machines without a sound card play through SDL's dummy driver.
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        TMediaGroup* Video = Timeline.AddGroup(TMediaGroup::Video({32, 24, 400000}));
        TMediaTrack* Track = Video->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
        AddColor(Track, 0, Second, "0xFFFF0000");
        AddColor(Track, Second, 2 * Second, "0xFF0000FF");
        std::string Tone = Folder.Path("tone.wav");
        WriteTestTone(Tone, 440, 0.3, 2);
        TMediaGroup* Audio = Timeline.AddGroup(TMediaGroup::Audio({2, 44100, 16}));
        auto Source = std::make_unique<TMediaSource>();
        Source->SetMediaName(Tone);
        Source->SetStartStop(0, 2 * Second);
        Source->SetMediaTimes(0, 2 * Second);
        Audio->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1)->SrcAdd(std::move(Source));
    }

    TTempFolder Folder;
    TMediaTimeline Timeline;
    TMessageQueue Messages;
};

TEST_P(MediaPlayer, PlaysToTheEndAndReportsIt) {
    TMediaPlayer Player(Timeline, Messages, GetParam());
    int Frames = 0, Ended = 0;
    TVideoTime LastTime = -1;
    bool InOrder = true;
    Player.OnFrame = [&](const TVideoFrame&, TVideoTime At) {
        ++Frames;
        InOrder = InOrder && At > LastTime;
        LastTime = At;
    };
    Player.OnEnded = [&] { ++Ended; };
    EXPECT_EQ(Player.Duration(), 2 * Second);
    Player.Run();
    ASSERT_TRUE(Messages.WaitAndProcess([&] { return Ended > 0; }, std::chrono::seconds(20)))
        << "audio output " << Player.AudioOutputName() << " position " << Player.Position();
    Messages.ProcessPending();
    EXPECT_EQ(Ended, 1);
    EXPECT_EQ(Player.Position(), 2 * Second);
    EXPECT_EQ(Player.State(), TPlayerState::Paused);
    EXPECT_GT(Frames, 5);
    EXPECT_TRUE(InOrder);
    EXPECT_GE(LastTime, Second); // it showed the second clip
}

TEST_P(MediaPlayer, SeekWhilePausedDeliversTheFrameThere) {
    TMediaPlayer Player(Timeline, Messages, GetParam());
    TColor Shown = 0;
    TVideoTime ShownAt = -1;
    Player.OnFrame = [&](const TVideoFrame& Frame, TVideoTime At) {
        Shown = Frame.Pixel(16, 12);
        ShownAt = At;
    };
    Player.Seek(Second * 3 / 2);
    ASSERT_TRUE(Messages.WaitAndProcess([&] { return ShownAt >= 0; }, std::chrono::seconds(10)));
    EXPECT_EQ(ShownAt, Second * 3 / 2);
    EXPECT_EQ(Shown, Blue);
    EXPECT_EQ(Player.Position(), Second * 3 / 2);
    EXPECT_EQ(Player.State(), TPlayerState::Stopped);

    TRgbImage Snapshot = Player.Grabber().Grab();
    ASSERT_EQ(Snapshot.Width, 32);
    ASSERT_EQ(Snapshot.Height, 24);
    EXPECT_EQ(Snapshot.Pixels[0], 0);   // red
    EXPECT_EQ(Snapshot.Pixels[2], 255); // blue

    ShownAt = -1;
    Player.Seek(Second / 4);
    ASSERT_TRUE(Messages.WaitAndProcess([&] { return ShownAt >= 0; }, std::chrono::seconds(10)));
    EXPECT_EQ(Shown, Red);
}

TEST_P(MediaPlayer, PauseHoldsThePositionAndRunGoesOn) {
    TMediaPlayer Player(Timeline, Messages, GetParam());
    Player.Run();
    ASSERT_TRUE(Messages.WaitAndProcess([&] { return Player.Position() > Second / 5; },
                                        std::chrono::seconds(10)));
    Player.Pause();
    TVideoTime Held = Player.Position();
    Messages.WaitAndProcess([] { return false; }, std::chrono::milliseconds(100));
    EXPECT_EQ(Player.Position(), Held);
    Player.Run();
    ASSERT_TRUE(Messages.WaitAndProcess([&] { return Player.Position() > Held; },
                                        std::chrono::seconds(10)));
    Player.Stop();
    EXPECT_EQ(Player.Position(), 0);
}

TEST_P(MediaPlayer, AHeldPlayerGoesOnOverTheEditedTimelineFromWhereItStood) {
    TMediaPlayer Player(Timeline, Messages, GetParam());
    TColor Shown = 0;
    TVideoTime ShownAt = -1;
    Player.OnFrame = [&](const TVideoFrame& Frame, TVideoTime At) {
        Shown = Frame.Pixel(16, 12);
        ShownAt = At;
    };
    Player.Run();
    ASSERT_TRUE(Messages.WaitAndProcess([&] { return Player.Position() > Second / 5; },
                                        std::chrono::seconds(10)));
    Player.Hold();
    EXPECT_TRUE(Player.IsHeld());
    EXPECT_EQ(Player.State(), TPlayerState::Paused);
    const TVideoTime Stood = Player.Position();
    // The first clip turns green and the timeline grows by a second.
    TMediaTrack* Track = static_cast<TMediaTrack*>(Timeline.VideoGroup()->Layers()[0].get());
    Track->RemoveSource(Track->Sources()[0].get());
    AddColor(Track, 0, Second, "0xFF00FF00");
    AddColor(Track, 2 * Second, 3 * Second, "0xFF0000FF");
    Messages.ProcessPending();
    ShownAt = -1;
    Player.Release();
    EXPECT_FALSE(Player.IsHeld());
    EXPECT_EQ(Player.Duration(), 3 * Second);
    EXPECT_EQ(Player.Position(), Stood);
    Player.Seek(Player.Position());
    ASSERT_TRUE(Messages.WaitAndProcess([&] { return ShownAt >= 0; }, std::chrono::seconds(10)));
    EXPECT_EQ(ShownAt, Stood);
    EXPECT_EQ(Shown, MakeColor(0, 255, 0));
    Player.Run();
    ASSERT_TRUE(Messages.WaitAndProcess([&] { return Player.Position() > Stood; },
                                        std::chrono::seconds(10)));
}

INSTANTIATE_TEST_SUITE_P(Outputs, MediaPlayer,
                         ::testing::Values(TMediaPlayer::TAudioOutput::Device,
                                           TMediaPlayer::TAudioOutput::Null),
                         [](const auto& Info) {
                             return Info.param == TMediaPlayer::TAudioOutput::Device ? "SdlDevice"
                                                                                     : "NullSink";
                         });

// A source an edit built again reads the same file as before: the held
// player hands it the decoder its old node had, and opens one only for a
// file it did not read yet.
TEST(MediaPlayerEdits, ASourceBuiltAgainForTheSameFileKeepsItsDecoder) {
    TTempFolder Folder;
    auto MakeClip = [&](const char* Name, uint8_t R, uint8_t G, uint8_t B) {
        TTestVideoOptions Options;
        Options.Width = 32;
        Options.Height = 24;
        Options.Painter = SolidColor(R, G, B);
        std::string File = Folder.Path(Name);
        WriteTestVideo(File, Options);
        return File;
    };
    const std::string Red_ = MakeClip("red.avi", 255, 0, 0), Blue_ = MakeClip("blue.avi", 0, 0, 255);
    TMediaTimeline Timeline;
    TMediaGroup* Video = Timeline.AddGroup(TMediaGroup::Video({32, 24, 400000}));
    TMediaTrack* Track = Video->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
    auto AddFile = [&](const std::string& File, TVideoTime Start) {
        auto Source = std::make_unique<TMediaSource>();
        Source->SetMediaName(File);
        Source->SetStartStop(Start, Start + Second);
        Source->SetMediaTimes(0, Second);
        return Track->SrcAdd(std::move(Source));
    };
    TMediaSource* Moved = AddFile(Red_, 0);
    TMessageQueue Messages;
    TMediaPlayer Player(Timeline, Messages, TMediaPlayer::TAudioOutput::Null);
    TColor Shown = 0;
    bool Arrived = false;
    Player.OnFrame = [&](const TVideoFrame& Frame, TVideoTime) {
        Shown = Frame.Pixel(16, 12);
        Arrived = true;
    };
    auto ShowAt = [&](TVideoTime Time) {
        Arrived = false;
        Player.Seek(Time);
        return Messages.WaitAndProcess([&] { return Arrived; }, std::chrono::seconds(10));
    };
    ASSERT_TRUE(ShowAt(Second / 2));
    EXPECT_NEAR(int(ColorRed(Shown)), 255, 24);
    EXPECT_EQ(Player.OpenedDecoderCount(), 1);

    // The clip moved a second later: a new node of the same file.
    Player.Hold();
    Track->RemoveSource(Moved);
    AddFile(Red_, Second);
    Player.Release();
    ASSERT_TRUE(ShowAt(3 * Second / 2));
    EXPECT_NEAR(int(ColorRed(Shown)), 255, 24);
    EXPECT_EQ(Player.OpenedDecoderCount(), 1);

    // Another file on the timeline needs a decoder of its own.
    Player.Hold();
    AddFile(Blue_, 0);
    Player.Release();
    ASSERT_TRUE(ShowAt(Second / 2));
    EXPECT_NEAR(int(ColorBlue(Shown)), 255, 24);
    EXPECT_EQ(Player.OpenedDecoderCount(), 2);
}

TEST(MessageQueue, RunsPostsInOrderAndSurvivesAFailingMessage) {
    TMessageQueue Queue;
    std::vector<int> Seen;
    Queue.Post([&] { Seen.push_back(1); });
    Queue.Post([] { throw std::runtime_error("handler failed"); });
    Queue.Post([&] { Seen.push_back(3); });
    EXPECT_EQ(Queue.ProcessPending(), 3);
    EXPECT_EQ(Seen, (std::vector<int>{1, 3}));
    EXPECT_EQ(Queue.ProcessPending(), 0);
}

} // namespace
