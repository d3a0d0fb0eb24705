#include "render/render_job.h"

#include "core/error.h"
#include "media_settings_fixture.h"
#include "platform/media/media_probe.h"
#include "platform/message_queue.h"
#include "render/codec_media_settings.h"
#include "render/format_media_settings.h"
#include "render/output_presets.h"
#include "render/output_settings.h"
#include "render/render.h"
#include "render/video_media_settings.h"

#include <chrono>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace {

const TMediaStreamInfo* Stream(const TMediaInfo& Info, TStreamMajorType Type) {
    for (const TMediaStreamInfo& S : Info.Streams)
        if (S.MajorType == Type)
            return &S;
    return nullptr;
}

double Seconds(TVideoTime Time) {
    return double(Time) / 10000000.0;
}

class RenderJob : public TMediaTimelineFixture {
protected:
    // A second of 64 x 48 video at 10 frames per second with a stereo tone.
    void AddSecondOfMedia() { AddVideo(64, 48, 10, 1.0, 22050, 2); }

    // Renders to File and waits for the end; the result.
    TRenderResult RenderTo(TRenderJob& Job, const std::string& File,
                           const TOutputSettings& Settings) {
        Job.Render(File, Settings);
        return Job.Wait();
    }
};

struct TKindCase {
    TRenderKind Kind;
    const char* VideoCodec; // "" for none
    const char* AudioCodec;
    int32_t SampleRate;
};

void PrintTo(const TKindCase& Case, std::ostream* Out) {
    *Out << RenderKindName(Case.Kind);
}

class RenderJobKinds : public RenderJob, public ::testing::WithParamInterface<TKindCase> {};

TEST_P(RenderJobKinds, WritesTheFileOfTheKind) {
    const TKindCase& Case = GetParam();
    AddSecondOfMedia();
    TRender Render(Timeline);
    Render.SetKind(Case.Kind);
    ASSERT_TRUE(Render.CanRender());
    // The AVI, MP4 and WMV sizes are linked; DV keeps its norm.
    Render.AVI().Video().SetWidth(80);
    Render.AVI().Video().SetHeight(64);
    Render.AVI().Video().SetFramesPerSecond(5);
    std::string File =
        Folder.Path(std::string("out.") + OutputFormatExtension(RenderKindOutputFormat(Case.Kind)));
    TRenderJob Job(Timeline);
    TRenderResult Result = RenderTo(Job, File, Render.OutputSettings());
    ASSERT_EQ(Result.Outcome, TRenderOutcome::Completed) << Result.Error;

    TMediaInfo Info = ProbeMedia(File);
    const TMediaStreamInfo* Video = Stream(Info, TStreamMajorType::Video);
    const TMediaStreamInfo* Audio = Stream(Info, TStreamMajorType::Audio);
    EXPECT_EQ(Info.Streams.size(), std::string(Case.VideoCodec).empty() ? 1u : 2u);
    if (std::string(Case.VideoCodec).empty()) {
        EXPECT_EQ(Video, nullptr);
    } else {
        ASSERT_NE(Video, nullptr);
        EXPECT_EQ(Video->SubType, Case.VideoCodec);
        if (Case.Kind == TRenderKind::DV) {
            EXPECT_EQ(Video->Width, 720);
            EXPECT_EQ(Video->Height, 480);
            EXPECT_NEAR(Video->FrameRate, 29.97, 0.01);
        } else {
            EXPECT_EQ(Video->Width, 80);
            EXPECT_EQ(Video->Height, 64);
            EXPECT_NEAR(Video->FrameRate, 5, 0.01);
        }
    }
    ASSERT_NE(Audio, nullptr);
    EXPECT_EQ(Audio->SubType, Case.AudioCodec);
    EXPECT_EQ(Audio->SamplesPerSecond, Case.SampleRate);
    EXPECT_EQ(Audio->Channels, 2);
    EXPECT_NEAR(Seconds(Info.Duration), 1.0, 0.25);
    EXPECT_FALSE(std::filesystem::exists(File + ".partial"));
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, RenderJobKinds,
    ::testing::Values(TKindCase{TRenderKind::AVI, "rawvideo", "pcm_s16le", 22050},
                      TKindCase{TRenderKind::AVICompressed, "mpeg4", "mp3", 22050},
                      TKindCase{TRenderKind::DV, "dvvideo", "pcm_s16le", 48000},
                      TKindCase{TRenderKind::MP3, "", "mp3", 22050},
                      TKindCase{TRenderKind::MP4BitRate, "h264", "aac", 22050},
                      TKindCase{TRenderKind::MP4Quality, "h264", "aac", 22050},
                      // Windows Media quality has variable-rate formats only from CD up.
                      TKindCase{TRenderKind::WMABitRate, "", "wmav2", 22050},
                      TKindCase{TRenderKind::WMAQuality, "", "wmav2", 44100},
                      TKindCase{TRenderKind::WMVBitRate, "wmv2", "wmav2", 22050},
                      TKindCase{TRenderKind::WMVQuality, "wmv2", "wmav2", 44100}),
    [](const auto& Info) { return std::string(RenderKindName(Info.param.Kind)); });

TEST_F(RenderJob, AProjectWithoutSoundGetsNoAudioStream) {
    AddColor(Second);
    TRender Render(Timeline);
    for (TRenderKind Kind : {TRenderKind::WMVQuality, TRenderKind::MP4BitRate, TRenderKind::DV}) {
        Render.SetKind(Kind);
        std::string File = Folder.Path(std::string("silent-") + std::string(RenderKindName(Kind)) +
                                       "." + OutputFormatExtension(RenderKindOutputFormat(Kind)));
        TRenderJob Job(Timeline);
        TRenderResult Result = RenderTo(Job, File, Render.OutputSettings());
        ASSERT_EQ(Result.Outcome, TRenderOutcome::Completed) << Result.Error;
        TMediaInfo Info = ProbeMedia(File);
        EXPECT_TRUE(Info.HasVideo()) << RenderKindName(Kind);
        EXPECT_FALSE(Info.HasAudio()) << RenderKindName(Kind);
    }
}

TEST_F(RenderJob, AnAllEmptyTimelineRendersNothingAndEndsAtOnce) {
    TRender Render(Timeline);
    TRenderJob Job(Timeline);
    int Started = 0, Ended = 0;
    TRenderResult Last;
    Job.OnRenderStarted = [&] { ++Started; };
    Job.OnRenderEnded = [&](const TRenderResult& Result) {
        ++Ended;
        Last = Result;
    };
    std::string File = Folder.Path("empty.wmv");
    Job.Render(File, Render.OutputSettings());
    EXPECT_EQ(Ended, 1);
    EXPECT_EQ(Started, 0);
    EXPECT_FALSE(Job.IsRendering());
    EXPECT_NE(Last.Outcome, TRenderOutcome::Completed);
    EXPECT_NE(Last.Error.find(File), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(File));
}

TEST_F(RenderJob, AnUnwritableFolderFailsTheRenderAndRaises) {
    AddSecondOfMedia();
    TRender Render(Timeline);
    TRenderJob Job(Timeline);
    TRenderResult Last;
    int Ended = 0;
    Job.OnRenderEnded = [&](const TRenderResult& Result) {
        ++Ended;
        Last = Result;
    };
    std::string File = Folder.Path("missing/out.wmv");
    EXPECT_THROW(Job.Render(File, Render.OutputSettings()), EError);
    EXPECT_EQ(Ended, 1);
    EXPECT_EQ(Last.Outcome, TRenderOutcome::Failed);
    EXPECT_NE(Last.Error.find(File), std::string::npos);
    EXPECT_FALSE(Job.IsRendering());
}

TEST_F(RenderJob, AnEncoderThatCannotBeMadeFailsInsteadOfWritingWithoutIt) {
    AddSecondOfMedia();
    TRender Render(Timeline);
    TOutputSettings Settings = Render.OutputSettings();
    Settings.OutputFormat = TMediaOutputFormat::AviAdvanced;
    Settings.VideoEncoder = "no_such_encoder";
    Settings.AudioEncoder = "pcm_s16le";
    TRenderJob Job(Timeline);
    std::string File = Folder.Path("advanced.avi");
    try {
        Job.Render(File, Settings);
        ADD_FAILURE() << "the render started";
    } catch (const EError& Error) {
        EXPECT_NE(std::string(Error.what()).find("no_such_encoder"), std::string::npos);
    }
    EXPECT_EQ(Job.LastResult().Outcome, TRenderOutcome::Failed);
    EXPECT_NE(Job.LastResult().Error.find("no_such_encoder"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(File));
}

TEST_F(RenderJob, TheAdvancedMp4FormatUsesTheMp4CodecSettings) {
    AddSecondOfMedia();
    TRender Render(Timeline);
    TOutputSettings Settings = Render.OutputSettings();
    Settings.OutputFormat = TMediaOutputFormat::Mp4Advanced;
    Settings.AudioEncoder = Render.MP4().AudioCodec().CodecName();
    Settings.VideoEncoder = Render.MP4().VideoCodec().CodecName();
    Settings.Muxer = Render.MP4().MuxerCodec().CodecName();
    EXPECT_FALSE(Render.MP4().VideoCodec().HasConfiguration());
    TRenderJob Job(Timeline);
    std::string File = Folder.Path("advanced.mp4");
    TRenderResult Result = RenderTo(Job, File, Settings);
    ASSERT_EQ(Result.Outcome, TRenderOutcome::Completed) << Result.Error;
    TMediaInfo Info = ProbeMedia(File);
    ASSERT_EQ(Info.Streams.size(), 2u);
    EXPECT_EQ(Stream(Info, TStreamMajorType::Video)->SubType, "h264");
    EXPECT_EQ(Stream(Info, TStreamMajorType::Audio)->SubType, "aac");
}

TEST_F(RenderJob, CancellingInTheMiddleEndsCancelledAndLeavesNoFile) {
    AddColor(3600 * Second); // far longer than the test waits
    TRender Render(Timeline);
    Render.SetKind(TRenderKind::MP4Quality);
    Render.AVI().Video().SetWidth(16);
    Render.AVI().Video().SetHeight(16);
    TRenderJob Job(Timeline);
    TRenderResult Last;
    Job.OnRenderEnded = [&](const TRenderResult& Result) { Last = Result; };
    std::string File = Folder.Path("cancelled.mp4");
    Job.Render(File, Render.OutputSettings());
    EXPECT_TRUE(Job.IsRendering());
    EXPECT_EQ(Job.Duration(), 3600 * Second);
    // Wait until frames are written (with a bound, should the writer stall).
    for (int I = 0; I < 20000 && Job.Position() == 0; ++I)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    Job.Stop();
    EXPECT_FALSE(Job.IsRendering());
    EXPECT_EQ(Last.Outcome, TRenderOutcome::Cancelled);
    EXPECT_FALSE(Last.Error.empty());
    EXPECT_EQ(Job.Position(), 0);
    EXPECT_FALSE(std::filesystem::exists(File));
    EXPECT_FALSE(std::filesystem::exists(File + ".partial"));
}

TEST_F(RenderJob, TheEndArrivesOnceThroughTheMessageQueueAfterTheStart) {
    AddSecondOfMedia();
    TRender Render(Timeline);
    Render.SetKind(TRenderKind::WMAQuality);
    TMessageQueue Queue;
    TRenderJob Job(Timeline, Queue);
    std::vector<std::string> Events;
    Job.OnRenderStarted = [&] { Events.push_back("started"); };
    Job.OnRenderEnded = [&](const TRenderResult& Result) {
        Events.push_back(Result.Outcome == TRenderOutcome::Completed ? "completed" : Result.Error);
    };
    Job.Render(Folder.Path("queued.wma"), Render.OutputSettings());
    EXPECT_EQ(Events, (std::vector<std::string>{"started"}));
    bool Done = Queue.WaitAndProcess([&] { return Events.size() > 1; }, std::chrono::seconds(120));
    ASSERT_TRUE(Done);
    EXPECT_EQ(Events, (std::vector<std::string>{"started", "completed"}));
    EXPECT_FALSE(Job.IsRendering());
    Job.Wait();
    Job.Stop();
    Queue.ProcessPending();
    EXPECT_EQ(Events.size(), 2u);
}

TEST_F(RenderJob, EditsAfterTheStartDoNotReachTheRender) {
    AddSecondOfMedia();
    TColorClipElement& Later = AddColor(2 * Second);
    TRender Render(Timeline);
    Render.SetKind(TRenderKind::WMVBitRate);
    TRenderJob Job(Timeline);
    std::string File = Folder.Path("copy.wmv");
    Job.Render(File, Render.OutputSettings());
    Later.Detach();
    TRenderResult Result = Job.Wait();
    ASSERT_EQ(Result.Outcome, TRenderOutcome::Completed) << Result.Error;
    EXPECT_NEAR(Seconds(ProbeMedia(File).Duration), 3.0, 0.25);
}

TEST_F(RenderJob, StartingAgainStopsTheRunningRender) {
    AddColor(3600 * Second);
    TRender Render(Timeline);
    Render.SetKind(TRenderKind::AVI);
    Render.AVI().Video().SetWidth(16);
    Render.AVI().Video().SetHeight(16);
    TRenderJob Job(Timeline);
    std::vector<TRenderOutcome> Outcomes;
    Job.OnRenderEnded = [&](const TRenderResult& Result) { Outcomes.push_back(Result.Outcome); };
    Job.Render(Folder.Path("first.avi"), Render.OutputSettings());
    Job.Render(Folder.Path("second.avi"), Render.OutputSettings());
    EXPECT_EQ(Outcomes, (std::vector<TRenderOutcome>{TRenderOutcome::Cancelled}));
    Job.Stop();
    EXPECT_EQ(Outcomes.size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(Folder.Path("first.avi")));
}

} // namespace
