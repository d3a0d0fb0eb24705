#include "capture/cap_device_lists.h"

#include "capture_test_support.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> UniqueNames(const std::vector<std::string>& Friendly) {
    std::vector<TCaptureEndpoint> Endpoints;
    for (const std::string& Name : Friendly)
        Endpoints.push_back({Name, "lavfi", "url-" + std::to_string(Endpoints.size())});
    std::vector<std::string> Names;
    for (const TCapDeviceInfo& Info : MakeDeviceList(std::move(Endpoints)))
        Names.push_back(Info.UniqueName);
    return Names;
}

TEST(MakeDeviceListTest, NumbersDevicesOfTheSameNameAndSkipsBlankNames) {
    using V = std::vector<std::string>;
    EXPECT_EQ(UniqueNames({"USB Camera", "USB Camera"}), (V{"USB Camera", "USB Camera (2)"}));
    EXPECT_EQ(UniqueNames({"Cam", "Other", "Cam", "Cam"}), (V{"Cam", "Other", "Cam (2)", "Cam (3)"}));
    EXPECT_EQ(UniqueNames({"  ", "", "\t", "Cam"}), (V{"Cam"}));
    // A control character in a driver's name would split an audio key.
    EXPECT_EQ(UniqueNames({"Line\nIn"}), (V{"Line In"}));
}

TEST(MakeDeviceListTest, UniqueNamesNeverCollideWithADevicesOwnNumberedName) {
    using V = std::vector<std::string>;
    EXPECT_EQ(UniqueNames({"Cam", "Cam (2)", "Cam"}), (V{"Cam", "Cam (2)", "Cam (3)"}));
    EXPECT_EQ(UniqueNames({"Cam", "Cam", "Cam (2)"}), (V{"Cam", "Cam (2)", "Cam (2) (2)"}));
}

TEST(CaptureDeviceListsTest, ListsFindsAndNamesPinsOfTheTestDevices) {
    TTestDeviceRoots TestDevices;
    TCaptureDeviceLists Lists(TestDevices.Roots());
    std::vector<std::string> Video = Lists.DeviceNames(TCapDeviceList::VideoInputs, false);
    ASSERT_EQ(Video.size(), 3u);
    EXPECT_EQ(Video[1], std::string(TestCameraName) + " (2)");
    EXPECT_TRUE(IsDVCamcorder(Video[2]));
    EXPECT_FALSE(IsDVCamcorder("microsoft dv camera and vcr"));

    const TCapDeviceInfo* Second = Lists.FindDevice(TCapDeviceList::VideoInputs, Video[1]);
    ASSERT_NE(Second, nullptr);
    EXPECT_EQ(Second->FriendlyName, TestCameraName);
    EXPECT_EQ(Second->Endpoint.Url, "qmtest-camera-2");
    EXPECT_EQ(Lists.FindDevice(TCapDeviceList::VideoInputs, "Nothing"), nullptr);

    auto Pins = Lists.InputPinNames(TestMicrophoneName);
    ASSERT_TRUE(Pins);
    EXPECT_EQ(*Pins, (std::vector<std::string>{"Line In", "Microphone"}));
    EXPECT_FALSE(Lists.InputPinNames("No Such Microphone"));

    // The list stays as enumerated until it is refreshed.
    TestCaptureDevices().SetCameraPlugged(false);
    EXPECT_EQ(Lists.DeviceNames(TCapDeviceList::VideoInputs, false).size(), 3u);
    EXPECT_EQ(Lists.DeviceNames(TCapDeviceList::VideoInputs, true).size(), 2u);
}

} // namespace
