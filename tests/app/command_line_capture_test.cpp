#include "app/application.h"
#include "app/command_line.h"
#include "app/command_line_capture.h"
#include "platform/capture/test_capture_devices.h"
#include "platform/media/media_probe.h"

#include "test_media.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLineCapture, CaptureSwitchesAreLongOptionsAndPathsStayFiles) {
    TCommandLine Line = ParseCommandLine({"--capture=out.wmv", "--video", "USB Camera",
                                          "--audio=Mic", "--pin=Line In", "--seconds=3",
                                          "--capture-kind=wmv", "/capture"});
    EXPECT_TRUE(IsCaptureCommand(Line));
    EXPECT_EQ(Line.CaptureFile, "out.wmv");
    EXPECT_EQ(Line.CaptureVideo, "USB Camera");
    EXPECT_EQ(Line.CaptureAudio, "Mic");
    EXPECT_EQ(Line.CapturePin, "Line In");
    EXPECT_EQ(Line.CaptureSeconds, "3");
    EXPECT_EQ(Line.CaptureKind, "wmv");
    EXPECT_EQ(Line.Files, (std::vector<std::string>{"/capture"}));

    EXPECT_TRUE(IsCaptureCommand(ParseCommandLine({"--capture-list"})));
    EXPECT_TRUE(IsCaptureCommand(ParseCommandLine({"--snapshot", "a.png"})));
    EXPECT_TRUE(IsCaptureCommand(ParseCommandLine({"--write-dv=a.dv"})));
    EXPECT_FALSE(IsCaptureCommand(ParseCommandLine({"--video=Cam", "x.qmp"})));
    EXPECT_THROW(ParseCommandLine({"--capture-list=yes"}), ECommandLineError);
}

TEST(CommandLineCapture, TheProgramRecordsFromTheTestDevicesWithoutAWindow) {
    TTempFolder Folder;
    TestCaptureDevices().SetEnabled(true);
    std::string File = Folder.Path("clip.wav");
    int Code = RunApplication({"--capture=" + File, std::string("--audio=") + TestMicrophoneName,
                               "--seconds=1"});
    EXPECT_EQ(Code, 0);
    TMediaInfo Info = ProbeMedia(File);
    EXPECT_TRUE(Info.HasAudio());
    EXPECT_FALSE(Info.HasVideo());
    EXPECT_NEAR(double(Info.Duration) / 1e7, 1.0, 0.3);

    EXPECT_EQ(RunApplication({"--capture=" + Folder.Path("x.wav"),
                              std::string("--audio=") + TestMicrophoneName, "--seconds=zero"}),
              2);
    TestCaptureDevices().SetEnabled(false);
}

} // namespace
