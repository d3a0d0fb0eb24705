#include "capture/capture_graph.h"

#include "capture/cap_device_lists.h"
#include "platform/media/media_writer.h"
#include "platform/message_queue.h"

#include "capture_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using namespace std::chrono_literals;

TOutputSettings WmvSettings() {
    TOutputSettings S;
    S.OutputFormat = TMediaOutputFormat::WindowsMediaVideo;
    S.Video = DefaultVideoFormat;
    S.Audio = DefaultAudioFormat;
    return S;
}

class CaptureMonitorTest : public ::testing::Test {
protected:
    // No sound card here: SDL's dummy driver or the null sink plays.
    CaptureMonitorTest() { setenv("SDL_AUDIODRIVER", "dummy", 0); }

    TTestDeviceRoots TestDevices;
    TCaptureDeviceLists Lists{TestDevices.Roots()};
    TTempFolder Folder;
    TMessageQueue Messages;
};

TEST_F(CaptureMonitorTest, TheInputIsHeardWhileSwitchedOnAndNotWhileRecording) {
    std::string Microphone = std::string(TestMicrophoneName) + "\nMicrophone";
    TCaptureGraphObject Graph(Lists, Microphone, true, Folder.Root(), WmvSettings(), nullptr, "",
                              Messages);
    ASSERT_TRUE(Graph.Built()) << Graph.LastError();
    EXPECT_TRUE(Graph.Monitoring());
    Messages.WaitAndProcess([] { return false; }, 500ms);
    int64_t Heard = Graph.MonitoredFrames();
    // The microphone runs in real time: most of half a second has been played.
    EXPECT_GT(Heard, 48000 / 2 / 2);
    EXPECT_LE(Heard, 48000);

    Graph.SetMonitorAudio(false);
    EXPECT_FALSE(Graph.Monitoring());
    Heard = Graph.MonitoredFrames();
    Messages.WaitAndProcess([] { return false; }, 200ms);
    EXPECT_EQ(Graph.MonitoredFrames(), Heard);

    // While recording the input is heard only with the audio preview kept.
    Graph.SetMonitorAudio(true);
    Graph.OnGetFileName = [](TCaptureGraphObject&, std::string& Name) { Name.clear(); };
    Graph.SetRecording(true);
    EXPECT_FALSE(Graph.Monitoring());
    Graph.SetRecording(false);
    EXPECT_TRUE(Graph.Monitoring());
    Graph.KeepAudioPreview = true;
    Graph.SetRecording(true);
    EXPECT_TRUE(Graph.Monitoring());
    Graph.SetRecording(false);
}

TEST_F(CaptureMonitorTest, AGraphWithoutSoundHasNothingToHear) {
    TCaptureGraphObject Graph(Lists, "", true, Folder.Root(), WmvSettings(), nullptr,
                              TestCameraName, Messages);
    EXPECT_TRUE(Graph.MonitorAudio());
    EXPECT_FALSE(Graph.Monitoring());
}

} // namespace
