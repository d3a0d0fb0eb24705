#include "platform/folder_monitor.h"

#include "platform/message_queue.h"
#include "tests/support/test_media.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

using namespace std::chrono_literals;

namespace {

class FolderMonitorTest : public testing::Test {
protected:
    void SetUp() override {
        Options.Quiet = 150ms;
        Options.MaxDelay = 5s;
        Options.Ignore = [](std::string_view Name) { return Name.ends_with(".ignored"); };
    }

    static void WriteFile(const std::string& Path, const std::string& Text = "data") {
        std::ofstream(Path) << Text;
    }

    // Processes posted reports until one arrives (or a few seconds pass),
    // then long enough after it for a wrongly split burst to show up.
    int ReportsAfter(int& Count) {
        Queue.WaitAndProcess([&] { return Count > 0; }, 5000ms);
        Queue.WaitAndProcess([] { return false; }, 600ms);
        return Count;
    }

    TTempFolder Watched;
    TTempFolder Elsewhere;
    TMessageQueue Queue;
    TFolderMonitor::TOptions Options;
};

TEST_F(FolderMonitorTest, CopyingOneFileGivesOneReport) {
    int Count = 0;
    TFolderMonitor Monitor(Watched.Root(), [&] { ++Count; }, Queue, Options);
    ASSERT_TRUE(Monitor.IsWatching());
    WriteFile(Elsewhere.Path("a.avi"), std::string(100000, 'x'));
    ASSERT_EQ(std::system(("cp " + Elsewhere.Path("a.avi") + " " + Watched.Root()).c_str()), 0);
    EXPECT_EQ(ReportsAfter(Count), 1);
}

TEST_F(FolderMonitorTest, CopyingTwentyFilesAtOnceGivesOneReport) {
    std::string Command = "cp";
    for (int I = 0; I < 20; ++I) {
        std::string Name = Elsewhere.Path("clip" + std::to_string(I) + ".avi");
        WriteFile(Name, std::string(20000, char('a' + I)));
        Command += " " + Name;
    }
    int Count = 0;
    TFolderMonitor Monitor(Watched.Root(), [&] { ++Count; }, Queue, Options);
    ASSERT_EQ(std::system((Command + " " + Watched.Root()).c_str()), 0);
    EXPECT_EQ(ReportsAfter(Count), 1);
}

TEST_F(FolderMonitorTest, SeparateBurstsGiveOneReportEach) {
    int Count = 0;
    TFolderMonitor Monitor(Watched.Root(), [&] { ++Count; }, Queue, Options);
    WriteFile(Watched.Path("one.wav"));
    EXPECT_EQ(ReportsAfter(Count), 1);
    std::remove(Watched.Path("one.wav").c_str());
    Queue.WaitAndProcess([&] { return Count > 1; }, 5000ms);
    Queue.WaitAndProcess([] { return false; }, 600ms);
    EXPECT_EQ(Count, 2);
}

TEST_F(FolderMonitorTest, IgnoredNamesAndOtherFoldersAreNotReported) {
    int Count = 0;
    TFolderMonitor Monitor(Watched.Root(), [&] { ++Count; }, Queue, Options);
    WriteFile(Watched.Path(".clip.avi.ignored"));
    WriteFile(Elsewhere.Path("clip.avi"));
    Queue.WaitAndProcess([] { return false; }, 700ms);
    EXPECT_EQ(Count, 0);
}

TEST_F(FolderMonitorTest, AFifoAppearingIsReportedWithoutBeingOpened) {
    int Count = 0;
    TFolderMonitor Monitor(Watched.Root(), [&] { ++Count; }, Queue, Options);
    ASSERT_EQ(::mkfifo(Watched.Path("pipe").c_str(), 0600), 0);
    EXPECT_EQ(ReportsAfter(Count), 1);
}

TEST_F(FolderMonitorTest, AMissingFolderIsNotWatched) {
    int Count = 0;
    TFolderMonitor Monitor(Watched.Path("absent"), [&] { ++Count; }, Queue, Options);
    EXPECT_FALSE(Monitor.IsWatching());
}

TEST_F(FolderMonitorTest, AReportPostedBeforeTheMonitorEndsIsDropped) {
    int Count = 0;
    {
        TFolderMonitor Monitor(Watched.Root(), [&] { ++Count; }, Queue, Options);
        WriteFile(Watched.Path("late.avi"));
        std::this_thread::sleep_for(500ms); // the report is posted, not yet run
    }
    Queue.ProcessPending();
    EXPECT_EQ(Count, 0);
}

} // namespace
