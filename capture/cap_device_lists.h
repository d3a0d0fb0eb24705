#pragma once

#include "platform/capture/capture_endpoint.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The four device categories, numbered as the rest of the program knows
// them.
enum class TCapDeviceList : uint8_t {
    AudioCompressors = 0,
    VideoCompressors = 1,
    AudioInputs = 2,
    VideoInputs = 3,
};

// One enumerated device: the name its driver gives, the name the program
// knows it by (unique within its list) and what opens it.
struct TCapDeviceInfo {
    std::string FriendlyName;
    std::string UniqueName;
    TCaptureEndpoint Endpoint;
    std::string DisplayName; // the input and address, "video4linux2:/dev/video0"
};

// Gives each device a unique name in enumeration order: the friendly name,
// then " (2)", " (3)" ... for further devices of that name, the number raised
// past any name already taken (a device whose own name is "Cam (2)" does not
// clash with the second "Cam"). Devices whose name is blank are left out.
std::vector<TCapDeviceInfo> MakeDeviceList(std::vector<TCaptureEndpoint> Endpoints);

// The device lists of the four categories, each enumerated on first use and
// again when asked. The capture graphs bind devices by unique name here;
// nothing else enumerates devices.
//
//   auto Names = CaptureDeviceLists().DeviceNames(TCapDeviceList::VideoInputs, true);
//   if (const TCapDeviceInfo* Camera = Lists.FindDevice(TCapDeviceList::VideoInputs, Names[0])) ...
class TCaptureDeviceLists {
public:
    // Roots tells where the devices are looked for (tests give a fake tree).
    explicit TCaptureDeviceLists(TCaptureRoots Roots = {});

    std::vector<std::string> DeviceNames(TCapDeviceList List, bool Refresh);
    // The entry with that unique name, or null.
    const TCapDeviceInfo* FindDevice(TCapDeviceList List, std::string_view UniqueName);
    // The input pins of an audio device of list 2, or nothing when there is
    // no such device.
    std::optional<std::vector<TAudioInputPin>> InputPins(std::string_view AudioDeviceName);
    std::optional<std::vector<std::string>> InputPinNames(std::string_view AudioDeviceName);

    const std::vector<TCapDeviceInfo>& Devices(TCapDeviceList List);
    void Rebuild(TCapDeviceList List);

private:
    TCaptureRoots FRoots;
    std::array<std::optional<std::vector<TCapDeviceInfo>>, 4> FLists;
};

// The application's device lists, made on first use.
TCaptureDeviceLists& CaptureDeviceLists();

// Whether Name is the DV camcorder's (exact comparison).
bool IsDVCamcorder(std::string_view Name);
