#include "platform/media/media_libraries.h"

#include "platform/media/media_error.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/mathematics.h>
}

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

// Runs in a child process (a death test), so that no other test of this
// program has called the libraries yet. Exits 0 when every check holds,
// else with the number of the first check that failed.
[[noreturn]] void CallTheLibrariesFromSeveralThreadsWhileThePreloadRuns() {
    if (MediaLibrariesLoaded())
        std::exit(1);
    std::atomic<int> Failures{0};
    {
        TMediaLibraryPreload Preload;
        std::vector<std::thread> Callers;
        for (int Index = 0; Index < 4; ++Index)
            Callers.emplace_back([&Failures] {
                AVFrame* Frame = av_frame_alloc();
                if (!Frame || av_rescale(10, 3, 2) != 15)
                    ++Failures;
                av_frame_free(&Frame);
            });
        for (std::thread& Caller : Callers)
            Caller.join();
    }
    if (Failures != 0)
        std::exit(2);
    if (!MediaLibrariesLoaded())
        std::exit(3);
    std::exit(0);
}

TEST(MediaLibrariesTest, FirstCallsFromSeveralThreadsLoadTheLibrariesOnceAndWork) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(CallTheLibrariesFromSeveralThreadsWhileThePreloadRuns(), testing::ExitedWithCode(0), "");
}

TEST(MediaLibrariesTest, ForwardersReachTheLibrariesOwnFunctions) {
    // This test program also links the format, codec and utility libraries,
    // so the loader's global lookup finds their functions (the forwarders
    // are not exported): the addresses must be the same, or a forwarder
    // would call itself.
    for (const char* Name : {"av_frame_alloc", "avcodec_open2", "avformat_open_input"}) {
        SCOPED_TRACE(Name);
        void* Global = dlsym(RTLD_DEFAULT, Name);
        ASSERT_NE(Global, nullptr);
        EXPECT_EQ(MediaLibraryFunction(Name), Global);
    }
    EXPECT_TRUE(MediaLibrariesLoaded());
}

TEST(MediaLibrariesTest, AFunctionNoLibraryHasIsReportedByName) {
    try {
        MediaLibraryFunction("av_quillmoor_no_such_function");
        FAIL() << "no error";
    } catch (const EMediaError& Failure) {
        std::string Message = Failure.what();
        EXPECT_NE(Message.find("av_quillmoor_no_such_function"), std::string::npos) << Message;
        EXPECT_NE(Message.find("libavformat.so."), std::string::npos) << Message;
    }
}

} // namespace
