#include "capture/capture_job.h"

#include "capture/cap_device_lists.h"
#include "platform/capture/test_dv_deck.h"
#include "platform/media/media_probe.h"
#include "platform/media/media_writer.h"
#include "platform/media/picture_file.h"

#include "capture_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace {

namespace fs = std::filesystem;

class CaptureJobTest : public ::testing::Test {
protected:
    int Run(const TCaptureJob& Job) {
        Out.str("");
        Err.str("");
        return RunCaptureJob(Job, Lists, Out, Err);
    }

    TTestDeviceRoots TestDevices;
    TCaptureDeviceLists Lists{TestDevices.Roots()};
    TTempFolder Folder;
    std::ostringstream Out, Err;
};

TEST_F(CaptureJobTest, ListsEveryDeviceWithItsKeyAndPins) {
    ASSERT_EQ(Run({}), 0);
    std::string Text = Out.str();
    std::string Camera = TestCameraName;
    std::string Microphone = TestMicrophoneName;
    for (std::string Line : {"video\t" + Camera + "\n", "video\t" + Camera + " (2)\n",
                             std::string("dv\t") + DvCamcorderName + "\n", "audio\t" + Microphone + "\n",
                             "audio\t" + Microphone + "\tLine In\n",
                             "audio\t" + Microphone + "\tMicrophone\n"})
        EXPECT_NE(Text.find(Line), std::string::npos) << Line << " missing from\n" << Text;
}

TEST_F(CaptureJobTest, KindsComeFromTheNameOrTheExtension) {
    EXPECT_EQ(CaptureJobKind("", "a/b.WMV"), TMediaOutputFormat::WindowsMediaVideo);
    EXPECT_EQ(CaptureJobKind("", "clip.avi"), TMediaOutputFormat::DvAvi);
    EXPECT_EQ(CaptureJobKind("mpeg4avi", "clip.avi"), TMediaOutputFormat::CompressedAvi);
    EXPECT_EQ(CaptureJobKind("", "voice.wav"), TMediaOutputFormat::Wav);
    EXPECT_FALSE(CaptureJobKind("", "clip.mkv"));
    EXPECT_FALSE(CaptureJobKind("flv", "clip.avi"));
}

TEST_F(CaptureJobTest, RecordsForTheSecondsAskedIntoTheNamedFile) {
    TCaptureJob Job;
    Job.Action = TCaptureJob::TAction::Record;
    Job.VideoDevice = TestCameraName;
    Job.AudioDevice = TestMicrophoneName;
    Job.AudioPin = "Line In";
    Job.File = Folder.Path("job.wmv");
    Job.Seconds = 1.5;
    ASSERT_EQ(Run(Job), 0) << Err.str();
    EXPECT_NE(Out.str().find("job.wmv"), std::string::npos);
    TMediaInfo Info = ProbeMedia(Job.File);
    EXPECT_TRUE(Info.HasVideo());
    EXPECT_TRUE(Info.HasAudio());
    EXPECT_NEAR(double(Info.Duration) / 1e7, 1.5, 0.3);
    for (const auto& Entry : fs::directory_iterator(Folder.Root()))
        EXPECT_NE(Entry.path().filename().string().rfind("capTmp", 0), 0u) << Entry.path();
}

TEST_F(CaptureJobTest, RefusesWhatCannotBeRecorded) {
    TCaptureJob Job;
    Job.Action = TCaptureJob::TAction::Record;
    Job.VideoDevice = TestCameraName;
    Job.File = Folder.Path("job.mkv");
    EXPECT_EQ(Run(Job), 1);
    EXPECT_NE(Err.str().find("mkv"), std::string::npos) << Err.str();

    Job.File = Folder.Path("job.wmv");
    Job.VideoDevice.clear();
    EXPECT_EQ(Run(Job), 1);
    EXPECT_FALSE(Err.str().empty());

    Job.VideoDevice = "No Such Camera";
    EXPECT_EQ(Run(Job), 1);
    EXPECT_NE(Err.str().find("No Such Camera"), std::string::npos) << Err.str();
    EXPECT_FALSE(fs::exists(Job.File));
}

TEST_F(CaptureJobTest, ASnapshotIsTheCamerasPicture) {
    TCaptureJob Job;
    Job.Action = TCaptureJob::TAction::Snapshot;
    Job.VideoDevice = TestCameraName;
    Job.File = Folder.Path("shot.png");
    ASSERT_EQ(Run(Job), 0) << Err.str();
    TLoadedPicture Picture = LoadPicture(Job.File);
    EXPECT_EQ(Picture.Picture.Width(), 320);
    EXPECT_EQ(Picture.Picture.Height(), 240);
    EXPECT_GE(ReadFrameNumber(Picture.Picture.Data(), 320, 240, Picture.Picture.Stride()), 0);

    TestCaptureDevices().SetCameraStalled(true);
    Job.File = Folder.Path("stalled.png");
    EXPECT_EQ(Run(Job), 1);
    EXPECT_FALSE(fs::exists(Job.File));
}

TEST_F(CaptureJobTest, SendingADvFileNeedsTheDeck) {
    TestDvDeck().Reset();
    TTestVideoOptions Options;
    Options.Codec = "dvvideo";
    Options.FrameCount = 5;
    TCaptureJob Job;
    Job.Action = TCaptureJob::TAction::WriteDV;
    Job.File = Folder.Path("clip.dv");
    Job.Preroll = std::chrono::milliseconds(100);
    WriteTestVideo(Job.File, Options);

    TestCaptureDevices().SetDeckPlugged(false);
    Lists.Rebuild(TCapDeviceList::VideoInputs);
    EXPECT_EQ(Run(Job), 1);
    EXPECT_NE(Err.str().find("code 4"), std::string::npos) << Err.str();

    TestCaptureDevices().SetDeckPlugged(true);
    Lists.Rebuild(TCapDeviceList::VideoInputs);
    EXPECT_EQ(Run(Job), 0) << Err.str();
    EXPECT_EQ(TestDvDeck().RecordedFrames(), 5);
    TestDvDeck().Reset();
}

} // namespace
