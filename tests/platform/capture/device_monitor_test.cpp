#include "platform/capture/device_monitor.h"

#include "platform/message_queue.h"

#include "test_media.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

namespace {

using namespace std::chrono_literals;

TCaptureMonitorOptions InotifyOn(const std::string& Folder) {
    TCaptureMonitorOptions Options;
    Options.DeviceFolder = Folder;
    Options.UseUdev = false;
    Options.Quiet = 100ms;
    return Options;
}

// Runs the queue for a while and counts the refreshes that arrive.
int RefreshesWithin(TMessageQueue& Messages, int& Count, std::chrono::milliseconds Time) {
    Messages.WaitAndProcess([] { return false; }, Time);
    return Count;
}

TEST(CaptureDeviceMonitorTest, ABurstOfDeviceNodesGivesOneRefreshOnTheQueueThread) {
    TTempFolder Dev;
    TMessageQueue Messages;
    int Count = 0;
    std::thread::id RanOn;
    TCaptureDeviceMonitor Monitor(Messages, [&] {
        ++Count;
        RanOn = std::this_thread::get_id();
    }, InotifyOn(Dev.Root()));
    ASSERT_TRUE(Monitor.Watching());
    EXPECT_FALSE(Monitor.UsesUdev());

    // A camera brings several nodes and a sound card; other nodes are no news.
    for (const char* Name : {"video0", "video1", "snd", "media0", "video2"})
        std::filesystem::create_directories(Dev.Path(Name));
    std::ofstream(Dev.Path("tty5")) << "";
    EXPECT_EQ(RefreshesWithin(Messages, Count, 600ms), 1);
    EXPECT_EQ(RanOn, std::this_thread::get_id());

    // The sound folder that came with the burst is watched too.
    std::ofstream(Dev.Path("snd/pcmC0D0c")) << "";
    EXPECT_EQ(RefreshesWithin(Messages, Count, 600ms), 2);

    std::ofstream(Dev.Path("tty6")) << "";
    EXPECT_EQ(RefreshesWithin(Messages, Count, 400ms), 2);
}

TEST(CaptureDeviceMonitorTest, FiveNotificationsInABurstGiveOneRefresh) {
    TTempFolder Dev;
    TMessageQueue Messages;
    int Count = 0;
    TCaptureDeviceMonitor Monitor(Messages, [&] { ++Count; }, InotifyOn(Dev.Root()));
    for (int I = 0; I < 5; ++I) {
        Monitor.Notify();
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_EQ(RefreshesWithin(Messages, Count, 600ms), 1);
}

TEST(CaptureDeviceMonitorTest, NothingRunsAfterTheMonitorIsGone) {
    TTempFolder Dev;
    TMessageQueue Messages;
    int Count = 0;
    {
        TCaptureDeviceMonitor Monitor(Messages, [&] { ++Count; }, InotifyOn(Dev.Root()));
        Monitor.Notify();
        std::this_thread::sleep_for(300ms); // the refresh is posted, not yet run
    }
    Messages.ProcessPending();
    EXPECT_EQ(Count, 0);
}

} // namespace
