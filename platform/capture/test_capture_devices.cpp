#include "platform/capture/test_capture_devices.h"

#include <cstdlib>
#include <cstring>

bool TTestCaptureDevices::Enabled() const {
    int State = FEnabled;
    if (State >= 0)
        return State == 1;
    const char* Switch = std::getenv("QM_TEST_CAPTURE_DEVICES");
    return Switch && std::strcmp(Switch, "1") == 0;
}

void TTestCaptureDevices::Reset() {
    FCameraPlugged = true;
    FSecondCameraPlugged = true;
    FMicrophonePlugged = true;
    FDeckPlugged = true;
    FEnabledPin = 0;
    FCameraStalled = false;
}

bool TTestCaptureDevices::Plugged(const std::string& Url) const {
    if (Url == "qmtest-camera-1")
        return FCameraPlugged;
    if (Url == "qmtest-camera-2")
        return FSecondCameraPlugged;
    if (Url == "qmtest-microphone")
        return FMicrophonePlugged;
    if (Url == "qmtest-deck")
        return FDeckPlugged;
    return true;
}

TTestCaptureDevices& TestCaptureDevices() {
    static TTestCaptureDevices Devices;
    return Devices;
}
