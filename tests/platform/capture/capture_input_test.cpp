#include "platform/capture/capture_input.h"

#include "platform/capture/test_capture_devices.h"
#include "platform/graphics/pixel_view.h"
#include "platform/media/media_error.h"

#include "test_media.h"

#include <gtest/gtest.h>

#include <cmath>
#include <mutex>
#include <thread>

namespace {

using namespace std::chrono_literals;

TEST(CaptureInputTest, TestCameraDeliversNumberedFramesAtItsPace) {
    TCaptureInput Camera({TestCameraName, "lavfi", "qmtest-camera-1"}, {});
    ASSERT_TRUE(Camera.HasVideo());
    EXPECT_FALSE(Camera.HasAudio());
    EXPECT_EQ(Camera.Width(), 320);
    EXPECT_EQ(Camera.Height(), 240);
    EXPECT_DOUBLE_EQ(Camera.FramesPerSecond(), 25.0);
    std::mutex Lock;
    std::vector<int> Numbers;
    std::vector<TVideoTime> Times;
    TCaptureInputHandlers Handlers;
    Handlers.OnVideo = [&](const TPixelView& Picture, TVideoTime Time) {
        std::lock_guard Guard(Lock);
        Numbers.push_back(
            ReadFrameNumber(Picture.Pixels, Picture.Width, Picture.Height, Picture.Stride));
        Times.push_back(Time);
    };
    Camera.Start(Handlers);
    std::this_thread::sleep_for(600ms);
    Camera.Stop();
    std::lock_guard Guard(Lock);
    // Paced to real time: about 15 frames in 0.6 s, not hundreds.
    ASSERT_GE(Numbers.size(), 8u);
    EXPECT_LE(Numbers.size(), 20u);
    for (size_t I = 0; I < Numbers.size(); ++I) {
        EXPECT_EQ(Numbers[I], int(I));
        EXPECT_EQ(Times[I], TVideoTime(I) * 400000);
    }
}

TEST(CaptureInputTest, TestMicrophoneGivesTheToneOfTheChosenPin) {
    for (int Pin : {0, 1}) {
        TCaptureInputRequest Request;
        Request.AudioPin = TestMicrophonePinNames[Pin];
        TCaptureInput Microphone({TestMicrophoneName, "lavfi", "qmtest-microphone"}, Request);
        ASSERT_TRUE(Microphone.HasAudio());
        std::mutex Lock;
        std::vector<float> Left;
        TCaptureInputHandlers Handlers;
        Handlers.OnAudio = [&](const float* Samples, int32_t Frames) {
            std::lock_guard Guard(Lock);
            for (int32_t I = 0; I < Frames; ++I)
                Left.push_back(Samples[2 * I]);
        };
        Microphone.Start(Handlers);
        std::this_thread::sleep_for(300ms);
        Microphone.Stop();
        std::lock_guard Guard(Lock);
        ASSERT_GT(Left.size(), 4800u);
        EXPECT_LT(Left.size(), 48000u); // paced, not as fast as it can
        // The tone's frequency from its rising zero crossings.
        int Crossings = 0;
        for (size_t I = 1; I < Left.size(); ++I)
            Crossings += Left[I - 1] < 0 && Left[I] >= 0;
        double Hz = Crossings * 48000.0 / double(Left.size());
        EXPECT_NEAR(Hz, TestMicrophonePinTones[Pin], TestMicrophonePinTones[Pin] * 0.05);
    }
}

TEST(CaptureInputTest, AnAddressThatIsNoTestDeviceIsRefused) {
    EXPECT_THROW(TCaptureInput({"Cam", "lavfi", "testsrc"}, {}), EMediaError);
    EXPECT_THROW(TCaptureInput({"Cam", "video4linux2", "/nonexistent/video0"}, {}), EMediaError);
}

} // namespace
