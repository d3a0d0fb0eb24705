#include "platform/media/media_writer.h"

#include "platform/graphics/color.h"
#include "platform/media/media_error.h"
#include "platform/media/media_probe.h"
#include "platform/media/media_timeline.h"
#include "platform/media/video_file_reader.h"
#include "platform/media/video_frame.h"
#include "platform/message_queue.h"
#include "test_media.h"

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <thread>

namespace {

constexpr TVideoTime Second = 10000000;
constexpr TVideoTime Frame = 400000;
const TColor Red = MakeColor(230, 30, 30), Blue = MakeColor(30, 30, 230);

std::string Argb(TColor C) {
    char Text[16];
    std::snprintf(Text, sizeof Text, "0xFF%06X", ColorToBgraWord(C) & 0xFFFFFFu);
    return Text;
}

void AddColor(TMediaTrack* Track, TVideoTime Start, TVideoTime Stop, TColor Color) {
    auto Source = std::make_unique<TMediaSource>();
    Source->SetSubObjectClassId(MediaClassIds::ColorSource());
    Source->SetStartStop(Start, Stop);
    Source->SetMediaTimes(0, Stop - Start);
    TPropertySetter Properties;
    Properties.SetValue("color", Argb(Color));
    Source->SetProperties(std::move(Properties));
    Track->SrcAdd(std::move(Source));
}

// Two colour clips joined by a transition, over a sine tone: red until
// 0.8 s, the change until 1.2 s, blue until Length.
class TTwoClipTimeline {
public:
    TTwoClipTimeline(const std::string& Tone, TVideoTime Length, int32_t Width = 160,
                     int32_t Height = 120) {
        TMediaGroup* Video = Timeline.AddGroup(TMediaGroup::Video({Width, Height, Frame}));
        auto* Composition = Video->VTrackInsBefore(std::make_unique<TMediaComposition>(), -1);
        TMediaTrack* A = Composition->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
        TMediaTrack* B = Composition->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1);
        AddColor(A, 0, Second * 12 / 10, Red);
        AddColor(B, Second * 8 / 10, Length, Blue);
        auto Fade = std::make_unique<TMediaTransition>();
        Fade->SetSubObjectClassId(MediaClassIds::CrossFadeTransition());
        Fade->SetStartStop(Second * 8 / 10, Second * 12 / 10);
        B->TransAdd(std::move(Fade));
        TMediaGroup* Audio = Timeline.AddGroup(TMediaGroup::Audio({2, 44100, 16}));
        auto Source = std::make_unique<TMediaSource>();
        Source->SetMediaName(Tone);
        Source->SetStartStop(0, Length);
        Source->SetMediaTimes(0, Length);
        Audio->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1)->SrcAdd(std::move(Source));
    }
    TMediaTimeline Timeline;
};

// A tone of Seconds in Folder, for the timelines' audio.
std::string ToneIn(const TTempFolder& Folder, double Seconds) {
    std::string Tone = Folder.Path("tone.wav");
    WriteTestTone(Tone, 440, 0.5, Seconds);
    return Tone;
}

// Renders Timeline into File and waits for the end.
TRenderResult RenderFile(const TMediaTimeline& Timeline, const std::string& File,
                         const TMediaWriterProfile& Profile = {}) {
    TMessageQueue Messages;
    TMediaFileWriter Writer(Timeline, Messages, File, Profile);
    Writer.Start(nullptr);
    return Writer.Wait();
}

bool Near(TColor Pixel, TColor Expected, int Tolerance) {
    for (int Shift = 0; Shift < 24; Shift += 8)
        if (std::abs(int((Pixel >> Shift) & 0xFF) - int((Expected >> Shift) & 0xFF)) > Tolerance)
            return false;
    return true;
}

struct TFormatCase {
    TMediaOutputFormat Format;
    const char* Name;
    const char* VideoCodec; // nullptr: no video stream
    const char* AudioCodec;
    int32_t Width, Height, SampleRate;
    int ColourTolerance;
    // ASF cannot trim the audio encoder's last frame, and gives the whole
    // file's length to every stream: one WMA frame more than the video.
    TVideoTime ExtraDuration = 0;
};

class MediaWriterFormats : public ::testing::TestWithParam<TFormatCase> {};

TEST_P(MediaWriterFormats, WritesTheContainerCodecsAndPictures) {
    const TFormatCase& Case = GetParam();
    TTempFolder Folder;
    std::string Tone = ToneIn(Folder, 2.5);
    TTwoClipTimeline Edit(Tone, 2 * Second);
    std::string File = Folder.Path(std::string("out.") + MediaOutputExtension(Case.Format));
    TMediaWriterProfile Profile;
    Profile.Format = Case.Format;
    TMessageQueue Messages;
    TMediaFileWriter Writer(Edit.Timeline, Messages, File, Profile);
    Writer.Start(nullptr);
    TRenderResult Result = Writer.Wait();
    ASSERT_EQ(Result.Outcome, TRenderOutcome::Completed) << Result.Error;
    EXPECT_EQ(Writer.Position(), 2 * Second);
    EXPECT_FALSE(std::filesystem::exists(File + ".partial"));

    TMediaInfo Info = ProbeMedia(File);
    ASSERT_EQ(Info.Streams.size(), Case.VideoCodec ? 2u : 1u);
    const TMediaStreamInfo* Video = nullptr;
    const TMediaStreamInfo* Audio = nullptr;
    for (const auto& S : Info.Streams)
        (S.MajorType == TStreamMajorType::Video ? Video : Audio) = &S;
    ASSERT_NE(Audio, nullptr);
    EXPECT_EQ(Audio->SubType, Case.AudioCodec);
    EXPECT_EQ(Audio->SamplesPerSecond, Case.SampleRate);
    if (!Case.VideoCodec) {
        // Lossy audio ends on a whole audio frame and may start with the
        // encoder's delay.
        EXPECT_NEAR(double(Info.Duration), 2.0 * Second, 1000000.0);
        return;
    }
    ASSERT_NE(Video, nullptr);
    EXPECT_NEAR(double(Video->Duration), 2.0 * Second, double(Frame + Case.ExtraDuration));
    EXPECT_EQ(Video->SubType, Case.VideoCodec);
    EXPECT_EQ(Video->Width, Case.Width);
    EXPECT_EQ(Video->Height, Case.Height);
    EXPECT_NEAR(Video->FrameRate, 25.0, 0.01);

    TVideoFileReader Reader(File, 0);
    auto At = [&](TVideoTime Time, int X, int Y) {
        return Reader.FrameAt(Time, Case.Width, Case.Height, TVideoFileReader::TFit::Stretch)
            ->Pixel(X, Y);
    };
    int32_t Cx = Case.Width / 2, Cy = Case.Height / 2;
    EXPECT_TRUE(Near(At(Second / 2, Cx, Cy), Red, Case.ColourTolerance));
    EXPECT_TRUE(Near(At(Second / 2, 2, 2), Red, Case.ColourTolerance)); // top rows too
    EXPECT_TRUE(Near(At(Second / 2, Cx, Case.Height - 3), Red, Case.ColourTolerance));
    EXPECT_TRUE(Near(At(Second * 3 / 2, Cx, Cy), Blue, Case.ColourTolerance));
    TColor Middle = At(Second, Cx, Cy);
    EXPECT_TRUE(Near(Middle, MakeColor(130, 30, 130), Case.ColourTolerance + 8))
        << std::hex << Middle;
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, MediaWriterFormats,
    ::testing::Values(
        TFormatCase{TMediaOutputFormat::UncompressedAvi, "UncompressedAvi", "rawvideo", "pcm_s16le",
                    160, 120, 44100, 0},
        TFormatCase{TMediaOutputFormat::CompressedAvi, "CompressedAvi", "mpeg4", "mp3", 160, 120,
                    44100, 24},
        TFormatCase{TMediaOutputFormat::DvAvi, "DvAvi", "dvvideo", "pcm_s16le", 720, 576, 48000,
                    24},
        TFormatCase{TMediaOutputFormat::Mp4, "Mp4", "h264", "aac", 160, 120, 44100, 24},
        TFormatCase{TMediaOutputFormat::WindowsMediaVideo, "Wmv", "wmv2", "wmav2", 160, 120, 44100,
                    24, 470000},
        TFormatCase{TMediaOutputFormat::WindowsMediaAudio, "Wma", nullptr, "wmav2", 0, 0, 44100, 0},
        TFormatCase{TMediaOutputFormat::Mp3, "Mp3", nullptr, "mp3", 0, 0, 44100, 0},
        TFormatCase{TMediaOutputFormat::Wav, "Wav", nullptr, "pcm_s16le", 0, 0, 44100, 0}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(MediaWriter, UncompressedAviKeepsExactColours) {
    TTempFolder Folder;
    std::string Tone = ToneIn(Folder, 2.5);
    TTwoClipTimeline Edit(Tone, 2 * Second, 64, 48);
    std::string File = Folder.Path("exact.avi");
    ASSERT_EQ(RenderFile(Edit.Timeline, File).Outcome, TRenderOutcome::Completed);
    TVideoFileReader Reader(File, 0);
    auto Picture = Reader.FrameAt(Second / 2, 64, 48, TVideoFileReader::TFit::Stretch);
    for (int Y : {0, 1, 24, 47})
        EXPECT_EQ(Picture->Pixel(10, Y), Red) << Y;
    EXPECT_EQ(Reader.FrameAt(Second * 3 / 2, 64, 48, TVideoFileReader::TFit::Stretch)->Pixel(0, 0),
              Blue);
}

// At 30 frames a second a frame lasts 333333.3 units: a whole second still
// gives 30 frames, not a 31st for the rounding.
TEST(MediaWriter, AWholeSecondAtThirtyFramesIsThirtyFrames) {
    TTempFolder Folder;
    TMediaTimeline Timeline;
    TMediaGroup* Video = Timeline.AddGroup(TMediaGroup::Video({64, 48, Second / 30}));
    AddColor(Video->VTrackInsBefore(std::make_unique<TMediaTrack>(), -1), 0, Second, Red);
    std::string File = Folder.Path("second.avi");
    ASSERT_EQ(RenderFile(Timeline, File).Outcome, TRenderOutcome::Completed);
    TVideoFileReader Reader(File, 0);
    for (int I = 0; I < 40; ++I)
        Reader.FrameAt(I * Second / 30, 64, 48, TVideoFileReader::TFit::Stretch);
    EXPECT_EQ(Reader.DecodedFrameCount(), 30);
}

TEST(MediaWriter, MpegLayerThreeIsARealMp3File) {
    TTempFolder Folder;
    std::string Tone = ToneIn(Folder, 2.5);
    TTwoClipTimeline Edit(Tone, 2 * Second);
    std::string File = Folder.Path("song.mp3");
    TMediaWriterProfile Profile;
    Profile.Format = TMediaOutputFormat::Mp3;
    ASSERT_EQ(RenderFile(Edit.Timeline, File, Profile).Outcome, TRenderOutcome::Completed);
    FILE* In = std::fopen(File.c_str(), "rb");
    ASSERT_NE(In, nullptr);
    unsigned char Head[4] = {};
    ASSERT_EQ(std::fread(Head, 1, 4, In), 4u);
    std::fclose(In);
    bool Id3 = Head[0] == 'I' && Head[1] == 'D' && Head[2] == '3';
    bool Sync = Head[0] == 0xFF && (Head[1] & 0xE0) == 0xE0;
    EXPECT_TRUE(Id3 || Sync);
    EXPECT_FALSE(Head[0] == 'R' && Head[1] == 'I' && Head[2] == 'F' && Head[3] == 'F');
}

TEST(MediaWriter, BitRateModeReachesTheEncoder) {
    TTempFolder Folder;
    std::string Tone = ToneIn(Folder, 2.5);
    TTwoClipTimeline Edit(Tone, 2 * Second, 320, 240);
    auto SizeAt = [&](int32_t BitRate) {
        std::string File = Folder.Path("rate" + std::to_string(BitRate) + ".wmv");
        TMediaWriterProfile Profile;
        Profile.Format = TMediaOutputFormat::WindowsMediaVideo;
        Profile.BitRateMode = true;
        Profile.TotalBitRate = BitRate;
        EXPECT_EQ(RenderFile(Edit.Timeline, File, Profile).Outcome, TRenderOutcome::Completed);
        return std::filesystem::file_size(File);
    };
    EXPECT_GT(SizeAt(2000000), 2 * SizeAt(200000));
}

TEST(MediaWriter, CancelInTheMiddleReportsCancelledAndLeavesNoFile) {
    TTempFolder Folder;
    std::string Tone = ToneIn(Folder, 1);
    TTwoClipTimeline Edit(Tone, 600 * Second, 320, 240);
    std::string File = Folder.Path("long.avi");
    TMessageQueue Messages;
    TMediaFileWriter Writer(Edit.Timeline, Messages, File, {});
    TRenderResult Reported;
    int Reports = 0;
    Writer.Start([&](const TRenderResult& Result) {
        Reported = Result;
        ++Reports;
    });
    while (Writer.Position() == 0)
        std::this_thread::yield();
    Writer.Cancel();
    EXPECT_EQ(Writer.Wait().Outcome, TRenderOutcome::Cancelled);
    EXPECT_EQ(Reports, 0); // the end waits in the queue
    EXPECT_EQ(Messages.ProcessPending(), 1);
    EXPECT_EQ(Reports, 1);
    EXPECT_EQ(Reported.Outcome, TRenderOutcome::Cancelled);
    EXPECT_FALSE(std::filesystem::exists(File));
    EXPECT_FALSE(std::filesystem::exists(File + ".partial"));

    TTwoClipTimeline Short(Tone, Second);
    EXPECT_EQ(RenderFile(Short.Timeline, File).Outcome, TRenderOutcome::Completed);
    EXPECT_TRUE(std::filesystem::exists(File));
}

TEST(MediaWriter, TheEndRunsOnTheQueuesThreadAndIsDroppedWithTheWriter) {
    TTempFolder Folder;
    std::string Tone = ToneIn(Folder, 1);
    TTwoClipTimeline Edit(Tone, Second / 2, 32, 24);
    TMessageQueue Messages;
    std::thread::id CalledOn;
    {
        TMediaFileWriter Writer(Edit.Timeline, Messages, Folder.Path("a.avi"), {});
        Writer.Start([&](const TRenderResult&) { CalledOn = std::this_thread::get_id(); });
        ASSERT_EQ(Writer.Wait().Outcome, TRenderOutcome::Completed);
        EXPECT_EQ(Messages.ProcessPending(), 1);
    }
    EXPECT_EQ(CalledOn, std::this_thread::get_id());

    int Calls = 0;
    {
        TMediaFileWriter Writer(Edit.Timeline, Messages, Folder.Path("b.avi"), {});
        Writer.Start([&](const TRenderResult&) { ++Calls; });
        Writer.Wait();
    }
    EXPECT_EQ(Messages.ProcessPending(), 1);
    EXPECT_EQ(Calls, 0);
}

TEST(MediaWriter, MissingFolderFailsAtTheStartWithTheFileName) {
    TTempFolder Folder;
    std::string Tone = ToneIn(Folder, 1);
    TTwoClipTimeline Edit(Tone, Second);
    std::string File = Folder.Path("no-such-folder/out.mp4");
    TMediaWriterProfile Profile;
    Profile.Format = TMediaOutputFormat::Mp4;
    TMessageQueue Messages;
    TMediaFileWriter Writer(Edit.Timeline, Messages, File, Profile);
    try {
        Writer.Start(nullptr);
        FAIL() << "the render started";
    } catch (const EMediaError& Error) {
        EXPECT_NE(std::string(Error.what()).find(File), std::string::npos) << Error.what();
    }
}

TEST(MediaWriter, FullDiskFailsAndKeepsTheEarlierFile) {
    TTempFolder Folder;
    std::string Tone = ToneIn(Folder, 1);
    std::string File = Folder.Path("kept.avi");
    {
        TTwoClipTimeline Small(Tone, Second / 2, 32, 24);
        ASSERT_EQ(RenderFile(Small.Timeline, File).Outcome, TRenderOutcome::Completed);
    }
    auto Before = std::filesystem::file_size(File);

    // A file size limit makes writes fail the way a full disk does.
    auto OldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit Old{};
    getrlimit(RLIMIT_FSIZE, &Old);
    rlimit Limited = Old;
    Limited.rlim_cur = 2 << 20;
    setrlimit(RLIMIT_FSIZE, &Limited);
    TRenderResult Result;
    {
        TTwoClipTimeline Large(Tone, 20 * Second, 320, 240);
        Result = RenderFile(Large.Timeline, File);
    }
    setrlimit(RLIMIT_FSIZE, &Old);
    std::signal(SIGXFSZ, OldHandler);

    EXPECT_EQ(Result.Outcome, TRenderOutcome::Failed);
    EXPECT_NE(Result.Error.find(File), std::string::npos) << Result.Error;
    EXPECT_EQ(std::filesystem::file_size(File), Before);
    EXPECT_FALSE(std::filesystem::exists(File + ".partial"));
}

TEST(MediaWriter, AnEncoderThatDoesNotExistIsAnError) {
    TTempFolder Folder;
    std::string Tone = ToneIn(Folder, 1);
    TTwoClipTimeline Edit(Tone, Second);
    TMediaWriterProfile Profile;
    Profile.Format = TMediaOutputFormat::AviAdvanced;
    Profile.VideoEncoder = "no-such-encoder";
    Profile.AudioEncoder = "pcm_s16le";
    TMessageQueue Messages;
    TMediaFileWriter Writer(Edit.Timeline, Messages, Folder.Path("x.avi"), Profile);
    EXPECT_THROW(Writer.Start(nullptr), EMediaError);
}

} // namespace

namespace {

TEST(MediaWriter, AStreamCanBeLeftOutOfAFormatThatHasBoth) {
    TTempFolder Folder;
    std::string Tone = ToneIn(Folder, 1);
    TTwoClipTimeline Edit(Tone, Second);
    TMediaWriterProfile Profile;
    Profile.Format = TMediaOutputFormat::Mp4;
    Profile.WithAudio = false;
    std::string File = Folder.Path("silent.mp4");
    ASSERT_EQ(RenderFile(Edit.Timeline, File, Profile).Outcome, TRenderOutcome::Completed);
    TMediaInfo Info = ProbeMedia(File);
    ASSERT_EQ(Info.Streams.size(), 1u);
    EXPECT_EQ(Info.Streams[0].SubType, "h264");
}

} // namespace
