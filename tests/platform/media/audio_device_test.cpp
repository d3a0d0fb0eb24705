#include "platform/media/audio_device.h"

#include "platform/media/audio_sink.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <thread>

namespace {

// Machines without a sound card play through SDL's dummy driver, which
// consumes samples at the pace of a real device.
TAudioDevice* DummyDevice() {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    return TAudioDevice::Shared({2, 44100, 16});
}

bool WaitUntil(const std::function<bool()>& Done) {
    auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!Done()) {
        if (std::chrono::steady_clock::now() > Deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

} // namespace

TEST(AudioDevice, SinksComeAndGoOnOneDeviceOpenedOnce) {
    ASSERT_NE(DummyDevice(), nullptr);
    const int32_t Opens = TAudioDevice::OpenCount();
    EXPECT_EQ(Opens, 1);
    for (int I = 0; I < 20; ++I) {
        auto Sink = OpenAudioSink({2, 44100, 16});
        std::atomic<int64_t> Pulled{0};
        Sink->Start([&](float* Samples, int32_t Frames) {
            std::fill(Samples, Samples + Frames * 2, 0.0f);
            Pulled += Frames;
        });
        if (I == 0) {
            // The first one plays for real: the device pulls from it.
            EXPECT_STREQ(Sink->Name(), "dummy");
            EXPECT_TRUE(WaitUntil([&] { return Sink->ConsumedFrames() > 0; }));
            EXPECT_EQ(Sink->ConsumedFrames(), Pulled.load());
        }
        Sink->Stop();
    }
    EXPECT_EQ(TAudioDevice::OpenCount(), Opens);
}

TEST(AudioDevice, ClientsOfOtherFormatsRunSideBySideEachOnItsOwnClock) {
    TAudioDevice* Device = DummyDevice();
    ASSERT_NE(Device, nullptr);
    auto Stereo = Device->Attach({2, 44100, 16});
    auto Mono = Device->Attach({1, 22050, 16});
    auto Paused = Device->Attach({2, 44100, 16});
    auto Silence = [](int32_t Channels) {
        return [Channels](float* Samples, int32_t Frames) {
            std::fill(Samples, Samples + Frames * Channels, 0.25f);
        };
    };
    Stereo->Start(Silence(2));
    Mono->Start(Silence(1));
    Paused->Start(Silence(2));
    Paused->SetPaused(true);
    ASSERT_TRUE(WaitUntil([&] { return Stereo->ConsumedFrames() >= 44100 / 4; }));
    Stereo->SetPaused(true);
    Mono->SetPaused(true);
    // The mono client is converted to the device's rate: it consumes half
    // as many frames in the same time (give or take the converter's step
    // and the blocks in flight).
    double Ratio = double(Mono->ConsumedFrames()) / double(Stereo->ConsumedFrames());
    EXPECT_NEAR(Ratio, 0.5, 0.15);
    EXPECT_EQ(Paused->ConsumedFrames(), 0);
    // Paused clients stop their clocks.
    int64_t Held = Stereo->ConsumedFrames();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(Stereo->ConsumedFrames(), Held);
}
