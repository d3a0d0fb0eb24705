#include "capture/dv_write_graph.h"

#include "capture/cap_device_lists.h"
#include "platform/capture/test_dv_deck.h"
#include "platform/media/audio_file_reader.h"
#include "platform/media/media_format.h"
#include "platform/media/media_probe.h"
#include "platform/media/video_file_reader.h"
#include "platform/media/video_frame.h"
#include "platform/message_queue.h"

#include "capture_test_support.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using namespace std::chrono_literals;

// The tape's recorded frames, one after another: a raw DV file.
std::string SaveTape(const TTempFolder& Folder) {
    std::string Name = Folder.Path("tape.dv");
    std::ofstream Out(Name, std::ios::binary);
    for (int64_t I = 0; I < TestDvDeck().RecordedFrames(); ++I) {
        std::vector<uint8_t> Frame = TestDvDeck().RecordedFrame(I);
        Out.write(reinterpret_cast<const char*>(Frame.data()), std::streamsize(Frame.size()));
    }
    return Name;
}

class DVWriteGraphTest : public ::testing::Test {
protected:
    DVWriteGraphTest() { TestDvDeck().Reset(); }
    ~DVWriteGraphTest() override { TestDvDeck().Reset(); }

    std::string DvFile(const std::string& Name, bool SeparateSound) {
        TTestVideoOptions Options;
        Options.Codec = "dvvideo";
        Options.FrameCount = 25;
        Options.Painter = NumberedFrames();
        Options.WithAudio = true;
        Options.SampleRate = 48000;
        Options.ToneHz = 1000;
        std::string Path = Folder.Path(Name + (SeparateSound ? ".avi" : ".dv"));
        WriteTestVideo(Path, Options);
        return Path;
    }

    // Writes File to the deck and runs the queue until OnEnd; the error OnEnd got.
    std::string WriteToTape(const std::string& File, TDVWriteGraphObject& Writer) {
        bool Ended = false;
        std::string Error = "not ended";
        Writer.OnEnd = [&](TDVWriteGraphObject&, const std::string& Text) {
            Ended = true;
            Error = Text;
        };
        Writer.Preroll = 100ms;
        EXPECT_TRUE(Writer.Start()) << File << ": " << Writer.LastError();
        Messages.WaitAndProcess([&] { return Ended; }, 5000ms);
        return Error;
    }

    TTestDeviceRoots TestDevices;
    TCaptureDeviceLists Lists{TestDevices.Roots()};
    TTempFolder Folder;
    TMessageQueue Messages;
};

TEST_F(DVWriteGraphTest, ResultCodesTellWhatIsMissing) {
    std::string Dv = DvFile("clip", false);
    std::string Mpeg = Folder.Path("clip.mp4");
    WriteTestVideo(Mpeg, {});
    std::string Garbage = Folder.Path("garbage.dv");
    WriteGarbageFile(Garbage, 20000, 7);

    EXPECT_EQ(TDVWriteGraphObject(Lists, Dv, Messages).Result(), TDVWriteResult::Built);
    EXPECT_EQ(TDVWriteGraphObject(Lists, Mpeg, Messages).Result(), TDVWriteResult::NotDVFile);
    EXPECT_EQ(TDVWriteGraphObject(Lists, Garbage, Messages).Result(),
              TDVWriteResult::CannotOpenFile);
    EXPECT_EQ(TDVWriteGraphObject(Lists, Folder.Path("none.dv"), Messages).Result(),
              TDVWriteResult::CannotOpenFile);

    TestDvDeck().SetCameraMode(true);
    EXPECT_EQ(TDVWriteGraphObject(Lists, Dv, Messages).Result(), TDVWriteResult::NotVCR);
    TestDvDeck().SetCameraMode(false);

    TestCaptureDevices().SetDeckPlugged(false);
    Lists.Rebuild(TCapDeviceList::VideoInputs);
    EXPECT_EQ(TDVWriteGraphObject(Lists, Dv, Messages).Result(), TDVWriteResult::NoCamcorder);
}

TEST_F(DVWriteGraphTest, ARawDvFileGoesOntoTheTapeFrameByFrame) {
    std::string File = DvFile("clip", false);
    TDVWriteGraphObject Writer(Lists, File, Messages);
    ASSERT_EQ(Writer.Result(), TDVWriteResult::Built);
    EXPECT_EQ(Writer.Progress(), 0);
    EXPECT_EQ(WriteToTape(File, Writer), "");
    EXPECT_EQ(Writer.Progress(), 100);
    EXPECT_FALSE(Writer.Running());
    ASSERT_EQ(TestDvDeck().RecordedFrames(), 25);
    // The deck is stopped after the write.
    TDvTransport Transport(MakeTestDeckLink());
    EXPECT_EQ(Transport.Mode(), TransportMode::Stop);

    std::string Tape = SaveTape(Folder);
    TVideoFileReader Reader(Tape, 0);
    for (int Frame : {0, 12, 24}) {
        auto Picture = Reader.FrameAt(TVideoTime(Frame) * 400'000 + 1, 320, 240,
                                      TVideoFileReader::TFit::Stretch);
        EXPECT_EQ(ReadFrameNumber(Picture->Data(), Picture->Width(), Picture->Height(),
                                  Picture->Stride()),
                  Frame);
    }
}

TEST_F(DVWriteGraphTest, AnAviWithSeparateSoundHasItsSoundPutIntoTheFrames) {
    std::string File = DvFile("clip", true);
    TDVWriteGraphObject Writer(Lists, File, Messages);
    ASSERT_EQ(Writer.Result(), TDVWriteResult::Built) << Writer.LastError();
    EXPECT_EQ(WriteToTape(File, Writer), "");
    EXPECT_GE(TestDvDeck().RecordedFrames(), 24);

    std::string Tape = SaveTape(Folder);
    TMediaInfo Info = ProbeMedia(Tape);
    ASSERT_TRUE(Info.HasAudio());
    TMediaAudioFormat Format;
    Format.Channels = 2;
    Format.SamplesPerSecond = 48000;
    TAudioFileReader Sound(Tape, 0, Format);
    std::vector<float> Samples(48000 / 2 * 2, 0.0f);
    Sound.MixInto(4800, 48000 / 2, 1.0f, Samples.data());
    int Crossings = 0;
    for (size_t I = 2; I < Samples.size(); I += 2)
        Crossings += Samples[I - 2] < 0 && Samples[I] >= 0;
    EXPECT_NEAR(Crossings, 500, 10); // 1000 Hz over half a second
}

TEST_F(DVWriteGraphTest, AWriteProtectedTapeOrNoTapeMakesStartFalse) {
    std::string File = DvFile("clip", false);
    for (bool Protected : {true, false}) {
        TestDvDeck().Reset();
        if (Protected)
            TestDvDeck().SetWriteProtected(true);
        else
            TestDvDeck().EjectTape();
        TDVWriteGraphObject Writer(Lists, File, Messages);
        ASSERT_EQ(Writer.Result(), TDVWriteResult::Built);
        bool Ended = false;
        Writer.OnEnd = [&](TDVWriteGraphObject&, const std::string&) { Ended = true; };
        EXPECT_FALSE(Writer.Start());
        EXPECT_FALSE(Writer.LastError().empty());
        EXPECT_FALSE(Writer.Running());
        EXPECT_FALSE(Ended);
        EXPECT_EQ(TestDvDeck().RecordedFrames(), 0);
    }
}

TEST_F(DVWriteGraphTest, StoppingEndsTheWriteOnceAndStopsTheDeck) {
    std::string File = DvFile("clip", false);
    TDVWriteGraphObject Writer(Lists, File, Messages);
    int Ends = 0;
    Writer.OnEnd = [&](TDVWriteGraphObject&, const std::string&) { ++Ends; };
    Writer.Preroll = 0ms;
    ASSERT_TRUE(Writer.Start());
    Messages.WaitAndProcess([] { return false; }, 200ms);
    Writer.Stop();
    Messages.WaitAndProcess([] { return false; }, 1200ms);
    EXPECT_EQ(Ends, 1);
    EXPECT_LT(TestDvDeck().RecordedFrames(), 25);
    EXPECT_LT(Writer.Progress(), 100);
    EXPECT_EQ(TDvTransport(MakeTestDeckLink()).Mode(), TransportMode::Stop);
}

} // namespace
