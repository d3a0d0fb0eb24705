#pragma once

#include "platform/capture/capture_endpoint.h"
#include "platform/capture/test_capture_devices.h"

#include "test_media.h"

#include <filesystem>

// Device lists that see only the test devices: an empty video class folder,
// no ALSA, no FireWire. The test devices are switched on, all plugged in,
// for the life of the object.
class TTestDeviceRoots {
public:
    TTestDeviceRoots() {
        std::filesystem::create_directories(Folder.Path("video4linux"));
        TestCaptureDevices().Reset();
        TestCaptureDevices().SetEnabled(true);
    }
    ~TTestDeviceRoots() {
        TestCaptureDevices().Reset();
        TestCaptureDevices().SetEnabled(false);
    }
    TTestDeviceRoots(const TTestDeviceRoots&) = delete;
    TTestDeviceRoots& operator=(const TTestDeviceRoots&) = delete;

    TCaptureRoots Roots() const {
        TCaptureRoots Roots;
        Roots.VideoClassFolder = Folder.Path("video4linux");
        Roots.DeviceFolder = Folder.Root();
        Roots.WithAlsa = false;
        Roots.WithFireWire = false;
        return Roots;
    }

private:
    TTempFolder Folder;
};
