#include "capture/capture_devices.h"

#include "capture/cap_device_lists.h"
#include "core/delegate.h"
#include "core/text_table.h"
#include "platform/message_queue.h"

#include "capture_test_support.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using namespace std::chrono_literals;

const std::string Camera = TestCameraName;
const std::string Camera2 = Camera + " (2)";
const std::string Deck = DvCamcorderName;
const std::string LineIn = std::string(TestMicrophoneName) + "\nLine In";
const std::string MicPin = std::string(TestMicrophoneName) + "\nMicrophone";

// Counts the notifications and gathers their flags.
struct TChangeLog {
    int Count = 0;
    TCaptureChangeFlags Flags{};
    void Changed(TObject*, TCaptureChangeFlags F) {
        ++Count;
        Flags = F;
    }
    void Attach(TCaptureDevices& Devices) {
        Devices.Changes().AddChangeHandler(MakeDelegate<&TChangeLog::Changed>(this));
    }
};

class CaptureDevicesTest : public ::testing::Test {
protected:
    TTestDeviceRoots TestDevices;
    TCaptureDeviceLists Lists{TestDevices.Roots()};
};

TEST_F(CaptureDevicesTest, FirstRefreshListsDevicesAndPinsAndMakesTheFirstSelections) {
    TCaptureDevices Devices(Lists);
    EXPECT_EQ(Devices.VideoDevices(), (std::vector<std::string>{Camera, Camera2, Deck}));
    ASSERT_EQ(Devices.AudioInputCount(), 3);
    EXPECT_EQ(Devices.GetAudioInput(1), (TInputDescription{LineIn, std::string(TestMicrophoneName) + " - Line In"}));
    EXPECT_EQ(Devices.GetAudioInput(2).Key, MicPin);
    // The camcorder's sound, without " - ".
    EXPECT_EQ(Devices.GetAudioInput(3), (TInputDescription{Deck + "\n", Deck}));
    EXPECT_EQ(Devices.GetVideoDevice(2), (TInputDescription{Camera2, Camera2}));

    std::string None = GetText(TTextSlot::CaptureNoDevice);
    EXPECT_EQ(Devices.GetAudioInput(0), (TInputDescription{"", None}));
    EXPECT_EQ(Devices.GetAudioInput(4), (TInputDescription{"", None}));
    EXPECT_EQ(Devices.GetVideoDevice(-1), (TInputDescription{"", None}));
    EXPECT_TRUE(Devices.IsAudioInput(""));
    EXPECT_TRUE(Devices.IsAudioInput(Deck + "\n"));
    EXPECT_FALSE(Devices.IsAudioInput(Deck));

    EXPECT_EQ(Devices.PhotoId(), Camera);
    EXPECT_EQ(Devices.VideoRecordId(), Camera);
    EXPECT_EQ(Devices.AudioRecordId(), "");
    // The default input is the first device's enabled pin.
    EXPECT_EQ(Devices.NarrationId(), LineIn);
}

TEST_F(CaptureDevicesTest, DefaultNarrationFollowsTheEnabledPin) {
    TestCaptureDevices().SetEnabledMicrophonePin(1);
    TCaptureDevices Devices(Lists);
    EXPECT_EQ(Devices.NarrationId(), MicPin);
}

TEST_F(CaptureDevicesTest, UnpluggingTheSelectedCameraSelectsNoneAndReplugRestoresIt) {
    TCaptureDevices Devices(Lists);
    Devices.SetVideoRecordId(Camera2);
    TChangeLog Log;
    Log.Attach(Devices);

    TestCaptureDevices().SetSecondCameraPlugged(false);
    Devices.Refresh(false);
    EXPECT_EQ(Log.Count, 1);
    EXPECT_EQ(Log.Flags, CaptureChangeVideoDevices | CaptureChangeVideoRecord);
    EXPECT_EQ(Devices.VideoRecordId(), "");
    EXPECT_EQ(Devices.RememberedVideoRecordId(), Camera2);
    EXPECT_EQ(Devices.PhotoId(), Camera); // still there

    TestCaptureDevices().SetSecondCameraPlugged(true);
    Devices.Refresh(false);
    EXPECT_EQ(Log.Count, 2);
    EXPECT_EQ(Log.Flags, CaptureChangeVideoDevices | CaptureChangeVideoRecord);
    EXPECT_EQ(Devices.VideoRecordId(), Camera2);
    EXPECT_EQ(Devices.RememberedVideoRecordId(), "");

    // Nothing changed, nothing announced.
    Devices.Refresh(false);
    EXPECT_EQ(Log.Count, 2);
}

TEST_F(CaptureDevicesTest, UnpluggedMicrophoneAndDeckDropTheirAudioSelections) {
    TCaptureDevices Devices(Lists);
    Devices.SetAudioRecordId(MicPin);
    TestCaptureDevices().SetMicrophonePlugged(false);
    TestCaptureDevices().SetDeckPlugged(false);
    Devices.Refresh(false);
    EXPECT_EQ(Devices.AudioInputCount(), 0);
    EXPECT_EQ(Devices.AudioRecordId(), "");
    EXPECT_EQ(Devices.RememberedAudioRecordId(), MicPin);
    EXPECT_EQ(Devices.NarrationId(), "");
    EXPECT_EQ(Devices.RememberedNarrationId(), LineIn);

    // Back from no inputs at all: an empty selection takes the first input,
    // before a remembered one is looked at.
    TestCaptureDevices().SetMicrophonePlugged(true);
    Devices.Refresh(false);
    EXPECT_EQ(Devices.AudioRecordId(), LineIn);
    EXPECT_EQ(Devices.NarrationId(), LineIn);
}

TEST_F(CaptureDevicesTest, SelectingAnAbsentDeviceOnlyRemembersIt) {
    TCaptureDevices Devices(Lists);
    TChangeLog Log;
    Log.Attach(Devices);
    Devices.SetPhotoId("Absent Camera");
    EXPECT_EQ(Devices.PhotoId(), Camera);
    EXPECT_EQ(Devices.RememberedPhotoId(), "Absent Camera");
    EXPECT_EQ(Log.Flags, CaptureChangePhoto);
    Devices.SetNarrationId("Absent\nPin");
    EXPECT_EQ(Devices.NarrationId(), LineIn);
    EXPECT_EQ(Devices.RememberedNarrationId(), "Absent\nPin");
    EXPECT_EQ(Log.Count, 2);
    Devices.SetNarrationId(LineIn); // equal: nothing
    EXPECT_EQ(Log.Count, 2);
    Devices.SetNarrationId(MicPin);
    EXPECT_EQ(Devices.NarrationId(), MicPin);
    EXPECT_EQ(Devices.RememberedNarrationId(), "");
    Devices.SetPhotoId("");
    EXPECT_EQ(Devices.PhotoId(), "");
}

TEST_F(CaptureDevicesTest, ChoosingTheCamcorderRecordsItsSoundInOneNotification) {
    TCaptureDevices Devices(Lists);
    Devices.SetAudioRecordId(MicPin);
    TChangeLog Log;
    Log.Attach(Devices);
    Devices.SetVideoRecordId(Deck);
    EXPECT_EQ(Log.Count, 1);
    EXPECT_EQ(Log.Flags, CaptureChangeVideoRecord | CaptureChangeAudioRecord);
    EXPECT_EQ(Devices.AudioRecordId(), DvCamcorderAudioKey());
}

TEST_F(CaptureDevicesTest, CamcorderComingBackAsTheRecordDeviceBringsItsSound) {
    TCaptureDevices Devices(Lists);
    Devices.SetVideoRecordId(Deck);
    TestCaptureDevices().SetDeckPlugged(false);
    Devices.Refresh(false);
    EXPECT_EQ(Devices.VideoRecordId(), "");
    EXPECT_EQ(Devices.AudioRecordId(), "");
    Devices.SetAudioRecordId(LineIn);
    TestCaptureDevices().SetDeckPlugged(true);
    Devices.Refresh(false);
    EXPECT_EQ(Devices.VideoRecordId(), Deck);
    EXPECT_EQ(Devices.AudioRecordId(), DvCamcorderAudioKey());
}

TEST_F(CaptureDevicesTest, ABurstOfDeviceMessagesGivesOneRefresh) {
    TCaptureDevices Devices(Lists);
    TMessageQueue Messages;
    Devices.WatchDevices(Messages);
    TChangeLog Log;
    Log.Attach(Devices);
    TestCaptureDevices().SetCameraPlugged(false);
    for (int I = 0; I < 5; ++I)
        Devices.DevicesChanged();
    Messages.WaitAndProcess([&] { return Log.Count > 0; }, 2000ms);
    Messages.WaitAndProcess([] { return false; }, 500ms);
    EXPECT_EQ(Log.Count, 1);
    EXPECT_EQ(Devices.VideoDeviceCount(), 2);
}

} // namespace
