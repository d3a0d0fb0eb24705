#include "platform/capture/device_library.h"

#include "platform/media/media_error.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

// Runs in a child process (a death test), so that no other test of this
// program has registered the device inputs yet. Exits 0 when every check
// holds, else with the number of the first check that failed.
[[noreturn]] void LoadBrokenLibrariesThenTheRealOne() {
    if (DeviceInputsLoaded())
        std::exit(1);
    try {
        LoadDeviceInputs("libquillmoor-no-such-library.so.0");
        std::exit(2);
    } catch (const EMediaError& Failure) {
        std::string Message = Failure.what();
        // Names the library and carries the loader's reason.
        if (Message.find("\"libquillmoor-no-such-library.so.0\"") == std::string::npos ||
            Message.find("cannot open shared object file") == std::string::npos)
            std::exit(3);
    }
    // A library that loads but is not the device library.
    try {
        LoadDeviceInputs("libz.so.1");
        std::exit(4);
    } catch (const EMediaError& Failure) {
        if (std::string(Failure.what()).find("avdevice_register_all") == std::string::npos)
            std::exit(5);
    }
    if (DeviceInputsLoaded())
        std::exit(6);
    // A failure leaves the way open: the real library still loads.
    LoadDeviceInputs();
    if (!DeviceInputsLoaded())
        std::exit(7);
    // Once loaded, later calls do nothing, whatever they name.
    LoadDeviceInputs("libquillmoor-no-such-library.so.0");
    std::exit(0);
}

TEST(DeviceLibraryTest, MissingOrWrongLibraryIsReportedAndTheRealOneLoadsAfter) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(LoadBrokenLibrariesThenTheRealOne(), testing::ExitedWithCode(0), "");
}

} // namespace
