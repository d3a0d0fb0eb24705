#include "capture/capture_graph.h"

#include "canvas/pixels.h"
#include "capture/cap_device_lists.h"
#include "core/error.h"
#include "platform/capture/dv_transport.h"
#include "platform/capture/test_dv_deck.h"
#include "platform/media/audio_file_reader.h"
#include "platform/media/media_format.h"
#include "platform/media/media_probe.h"
#include "platform/media/media_writer.h"
#include "platform/media/video_file_reader.h"
#include "platform/media/video_frame.h"
#include "platform/message_queue.h"

#include "capture_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

const std::string Camera = TestCameraName;
const std::string MicrophoneLineIn = std::string(TestMicrophoneName) + "\nLine In";

TOutputSettings Settings(TMediaOutputFormat Format) {
    TOutputSettings S;
    S.OutputFormat = Format;
    S.Video = DefaultVideoFormat;
    S.Audio = DefaultAudioFormat;
    S.CompressionValue = 75;
    return S;
}

// Runs the queue (the graph's posted work) for Time.
void RunQueue(TMessageQueue& Messages, std::chrono::milliseconds Time) {
    Messages.WaitAndProcess([] { return false; }, Time);
}

int CountTempFiles(const std::string& Folder) {
    int Count = 0;
    for (const auto& Entry : fs::directory_iterator(Folder))
        Count += Entry.path().filename().string().rfind("capTmp", 0) == 0;
    return Count;
}

// The tone's frequency from rising zero crossings of the left channel.
double ToneFrequency(const std::string& File, double Seconds) {
    TMediaAudioFormat Format;
    Format.Channels = 2;
    Format.SamplesPerSecond = 48000;
    TAudioFileReader Reader(File, 0, Format);
    int32_t Frames = int32_t(Seconds * 48000);
    std::vector<float> Samples(size_t(Frames) * 2, 0.0f);
    Reader.MixInto(0, Frames, 1.0f, Samples.data());
    // Between the first and the last crossing, so that an encoder's leading
    // silence does not count.
    int Crossings = 0, First = -1, Last = -1;
    for (int32_t I = 1; I < Frames; ++I)
        if (Samples[size_t(I - 1) * 2] < 0 && Samples[size_t(I) * 2] >= 0) {
            ++Crossings;
            First = First < 0 ? I : First;
            Last = I;
        }
    return Crossings > 1 ? (Crossings - 1) * 48000.0 / (Last - First) : 0;
}

class CaptureGraphTest : public ::testing::TestWithParam<TMediaOutputFormat> {
protected:
    TTestDeviceRoots TestDevices;
    TCaptureDeviceLists Lists{TestDevices.Roots()};
    TTempFolder Folder;
    TMessageQueue Messages;
};

TEST_P(CaptureGraphTest, RecordsCameraAndMicrophoneIntoAFileWithTheUsersName) {
    TMediaOutputFormat Format = GetParam();
    TCaptureGraphObject Graph(Lists, MicrophoneLineIn, false, Folder.Root(), Settings(Format),
                              nullptr, Camera, Messages);
    ASSERT_TRUE(Graph.Built()) << Graph.LastError();
    std::string Extension = MediaOutputExtension(Format);
    EXPECT_EQ(Graph.TempFileName(), Folder.Path("capTmp." + Extension));
    Graph.OnGetFileName = [&](TCaptureGraphObject&, std::string& Name) { Name = "holiday." + Extension; };
    RunQueue(Messages, 200ms);
    Graph.SetRecording(true);
    EXPECT_TRUE(Graph.Recording());
    RunQueue(Messages, 1500ms);
    Graph.SetRecording(false);
    EXPECT_FALSE(Graph.Recording());
    EXPECT_EQ(Graph.LastError(), "");
    std::string Final = Folder.Path("holiday." + Extension);
    ASSERT_EQ(Graph.FinalFileName(), Final);
    EXPECT_EQ(CountTempFiles(Folder.Root()), 0);

    TMediaInfo Info = ProbeMedia(Final);
    ASSERT_TRUE(Info.HasVideo());
    ASSERT_TRUE(Info.HasAudio());
    EXPECT_NEAR(double(Info.Duration) / 1e7, 1.5, 0.3);
    const TMediaStreamInfo* Video = nullptr;
    for (const TMediaStreamInfo& Stream : Info.Streams)
        if (Stream.MajorType == TStreamMajorType::Video)
            Video = &Stream;
    ASSERT_NE(Video, nullptr);
    if (Format == TMediaOutputFormat::DvAvi) {
        EXPECT_EQ(Video->SubType, "dvvideo");
        EXPECT_EQ(Video->Width, 720);
        EXPECT_EQ(Video->Height, 576);
    } else {
        EXPECT_EQ(Video->SubType, "wmv2");
        EXPECT_EQ(Video->Width, 320);
        EXPECT_EQ(Video->Height, 240);
    }
    EXPECT_NEAR(Video->FrameRate, 25.0, 0.01);

    // The camera's frame numbers run on through the file.
    TVideoFileReader Reader(Final, 0);
    int Previous = -1, Readable = 0;
    for (int Index = 0; Index < 30; Index += 5) {
        auto Frame = Reader.FrameAt(TVideoTime(Index) * 400000, 320, 240,
                                    TVideoFileReader::TFit::Stretch);
        int Number = ReadFrameNumber(Frame->Data(), Frame->Width(), Frame->Height(), Frame->Stride());
        if (Number < 0)
            continue;
        ++Readable;
        EXPECT_GT(Number, Previous);
        Previous = Number;
    }
    EXPECT_GE(Readable, 4);
    EXPECT_NEAR(ToneFrequency(Final, 1.2), 440, 10);
}

INSTANTIATE_TEST_SUITE_P(Formats, CaptureGraphTest,
                         ::testing::Values(TMediaOutputFormat::WindowsMediaVideo,
                                           TMediaOutputFormat::DvAvi));

class CaptureGraphFaultTest : public ::testing::Test {
protected:
    TTestDeviceRoots TestDevices;
    TCaptureDeviceLists Lists{TestDevices.Roots()};
    TTempFolder Folder;
    TMessageQueue Messages;
};

TEST_F(CaptureGraphFaultTest, AFailedRenameKeepsTheRecordingAndReportsIt) {
    std::string Reported;
    std::string Kept;
    {
        TCaptureGraphObject Graph(Lists, "", false, Folder.Root(),
                                  Settings(TMediaOutputFormat::WindowsMediaVideo), nullptr, Camera,
                                  Messages);
        Graph.OnGetFileName = [&](TCaptureGraphObject&, std::string& Name) {
            Name = Folder.Path("no/such/folder/clip.wmv");
        };
        Graph.OnError = [&](TCaptureGraphObject&, const std::string& Error) { Reported = Error; };
        Kept = Graph.TempFileName();
        Graph.SetRecording(true);
        RunQueue(Messages, 500ms);
        Graph.SetRecording(false);
        EXPECT_EQ(Graph.FinalFileName(), "");
        EXPECT_NE(Graph.TempFileName(), Kept); // the next recording goes elsewhere
    }
    EXPECT_NE(Reported.find(Kept), std::string::npos) << Reported;
    ASSERT_TRUE(fs::exists(Kept)); // not deleted with the graph
    EXPECT_TRUE(ProbeMedia(Kept).HasVideo());
}

TEST_F(CaptureGraphFaultTest, UnpluggingTheCameraWhileRecordingKeepsAPlayableFile) {
    TCaptureGraphObject Graph(Lists, MicrophoneLineIn, false, Folder.Root(),
                              Settings(TMediaOutputFormat::WindowsMediaVideo), nullptr, Camera,
                              Messages);
    std::string Reported;
    Graph.OnError = [&](TCaptureGraphObject&, const std::string& Error) { Reported = Error; };
    Graph.OnGetFileName = [&](TCaptureGraphObject&, std::string& Name) { Name = "cut.wmv"; };
    Graph.SetRecording(true);
    RunQueue(Messages, 600ms);
    TestCaptureDevices().SetCameraPlugged(false);
    Messages.WaitAndProcess([&] { return !Graph.Recording(); }, 2000ms);
    EXPECT_FALSE(Graph.Recording());
    EXPECT_NE(Reported.find("unplugged"), std::string::npos) << Reported;
    TMediaInfo Info = ProbeMedia(Folder.Path("cut.wmv"));
    EXPECT_TRUE(Info.HasVideo());
    EXPECT_GT(Info.Duration, 3'000'000);
}

TEST_F(CaptureGraphFaultTest, AnAbsentDeviceFailsConstructionWithItsName) {
    try {
        TCaptureGraphObject Graph(Lists, "", false, Folder.Root(),
                                  Settings(TMediaOutputFormat::WindowsMediaVideo), nullptr,
                                  "Missing Camera", Messages);
        FAIL() << "built without its device";
    } catch (const EError& Error) {
        EXPECT_NE(std::string(Error.what()).find("Missing Camera"), std::string::npos);
    }
}

TEST_F(CaptureGraphFaultTest, SnapshotIsTheLiveFrameAndAStalledCameraGivesNone) {
    TCaptureGraphObject Graph(Lists, "", false, Folder.Root(),
                              Settings(TMediaOutputFormat::WindowsMediaVideo), nullptr, Camera,
                              Messages);
    auto Started = std::chrono::steady_clock::now();
    RunQueue(Messages, 400ms);
    std::unique_ptr<TPixels> Shot = Graph.Snapshot();
    ASSERT_TRUE(Shot);
    int Number = ReadFrameNumber(Shot->Row(0), Shot->Width(), Shot->Height(), Shot->Stride());
    double Live = std::chrono::duration<double>(std::chrono::steady_clock::now() - Started).count() * 25;
    EXPECT_NEAR(Number, Live, 6);

    TestCaptureDevices().SetCameraStalled(true);
    std::this_thread::sleep_for(300ms);
    auto Asked = std::chrono::steady_clock::now();
    EXPECT_FALSE(Graph.Snapshot());
    EXPECT_LT(std::chrono::steady_clock::now() - Asked, CaptureWaitLimit + 300ms);
}

TEST_F(CaptureGraphFaultTest, AnimationIntervalIsCheckedAndTakesAFrameAtOnce) {
    TCaptureGraphObject Graph(Lists, "", false, Folder.Root(),
                              Settings(TMediaOutputFormat::WindowsMediaVideo), nullptr, Camera,
                              Messages);
    int Frames = 0;
    Graph.OnFrame = [&](TCaptureGraphObject&, const TPixels&) { ++Frames; };
    EXPECT_THROW(Graph.StartAnimation(5'000'000), EError);
    EXPECT_EQ(Frames, 0);
    Graph.StartAnimation(10'000'000);
    EXPECT_EQ(Frames, 1);
    RunQueue(Messages, 1300ms);
    EXPECT_EQ(Frames, 2);
    Graph.StopAnimation();
    RunQueue(Messages, 1100ms);
    EXPECT_EQ(Frames, 2);
}

TEST_F(CaptureGraphFaultTest, DeckTransportReportsEachModeWithinAPoll) {
    TestDvDeck().Reset();
    TCaptureGraphObject Graph(Lists, "", false, Folder.Root(),
                              Settings(TMediaOutputFormat::DvAvi), nullptr, DvCamcorderName,
                              Messages);
    ASSERT_TRUE(Graph.HasTransport());
    EXPECT_TRUE(Graph.IsVCR());
    std::vector<int32_t> Reported;
    Graph.OnTransportChange = [&](TCaptureGraphObject& G) { Reported.push_back(G.TransportMode()); };
    for (int32_t Mode : {TransportMode::Play, TransportMode::FastForward, TransportMode::StepForward,
                         TransportMode::Stop}) {
        Graph.SetTransportMode(Mode);
        Messages.WaitAndProcess([&] { return !Reported.empty() && Reported.back() == Mode; }, 300ms);
        ASSERT_FALSE(Reported.empty());
        EXPECT_EQ(Reported.back(), Mode);
    }
    // A button pressed on the deck itself shows within a poll.
    TDvTransport(MakeTestDeckLink()).SetMode(TransportMode::Freeze);
    Messages.WaitAndProcess([&] { return Reported.back() == TransportMode::Freeze; }, 1000ms);
    EXPECT_EQ(Reported.back(), TransportMode::Freeze) << ::testing::PrintToString(Reported);
    TestDvDeck().SetCameraMode(true);
    Messages.WaitAndProcess([&] { return Reported.back() == -1; }, 1000ms);
    EXPECT_EQ(Reported.back(), -1);
    EXPECT_FALSE(Graph.IsVCR());
    EXPECT_EQ(Graph.TransportMode(), -1);
    TestDvDeck().Reset();
}

TEST(CaptureTempFileNameTest, CountsPastExistingFiles) {
    TTempFolder Folder;
    EXPECT_EQ(CaptureTempFileName(Folder.Root(), "wmv"), Folder.Path("capTmp.wmv"));
    std::ofstream(Folder.Path("capTmp.wmv")) << "";
    std::ofstream(Folder.Path("capTmp00001.wmv")) << "";
    EXPECT_EQ(CaptureTempFileName(Folder.Root() + "/", "wmv"), Folder.Path("capTmp00002.wmv"));
    EXPECT_EQ(CaptureTempFileName(Folder.Root(), "avi"), Folder.Path("capTmp.avi"));
}

TEST(CaptureVideoLayoutTest, FillsOrKeepsTheShapeAtTheCornerOrCentred) {
    EXPECT_EQ(CaptureVideoLayout({400, 400}, 320, 240, false, true), (TRect{0, 0, 400, 400}));
    EXPECT_EQ(CaptureVideoLayout({400, 400}, 320, 240, true, false), (TRect{0, 0, 400, 300}));
    EXPECT_EQ(CaptureVideoLayout({400, 400}, 320, -240, true, true), (TRect{0, 50, 400, 350}));
    EXPECT_EQ(CaptureVideoLayout({401, 200}, 320, 240, true, true), (TRect{67, 0, 334, 200}));
    EXPECT_EQ(CaptureVideoLayout({400, 400}, 0, 240, true, true), (TRect{0, 0, 400, 400}));
}

TEST(DvTransportTest, EveryModeRoundTripsThroughItsAvcCommand) {
    for (int32_t Mode : {TransportMode::Play, TransportMode::Stop, TransportMode::Freeze,
                         TransportMode::FastForward, TransportMode::Rewind, TransportMode::Record,
                         TransportMode::StepForward, TransportMode::RecordFreeze,
                         TransportMode::StepReverse}) {
        auto Command = TransportCommandFor(Mode);
        ASSERT_TRUE(Command) << Mode;
        EXPECT_EQ(TransportModeFromState(*Command), Mode);
    }
    EXPECT_FALSE(TransportCommandFor(1234));
}

TEST(TestDvDeckTest, RejectsRecordingOnAProtectedTapeOrWithoutTape) {
    TestDvDeck().Reset();
    TDvTransport Transport(MakeTestDeckLink());
    TestDvDeck().SetWriteProtected(true);
    EXPECT_FALSE(Transport.SetMode(TransportMode::Record));
    TestDvDeck().SetWriteProtected(false);
    EXPECT_TRUE(Transport.SetMode(TransportMode::Record));
    EXPECT_EQ(Transport.Mode(), TransportMode::Record);
    TestDvDeck().EjectTape();
    EXPECT_FALSE(Transport.SetMode(TransportMode::Play));
    TestDvDeck().Reset();
    EXPECT_TRUE(Transport.SetMode(TransportMode::FastForward));
    std::this_thread::sleep_for(200ms);
    EXPECT_GT(TestDvDeck().Position(), 25);
    TestDvDeck().Reset();
}

} // namespace
