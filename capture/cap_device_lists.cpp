#include "capture/cap_device_lists.h"

#include <algorithm>
#include <unordered_set>

namespace {

bool IsBlankName(std::string_view Name) {
    return Name.find_first_not_of(" \t") == std::string_view::npos;
}

} // namespace

std::vector<TCapDeviceInfo> MakeDeviceList(std::vector<TCaptureEndpoint> Endpoints) {
    std::vector<TCapDeviceInfo> List;
    std::unordered_set<std::string> Taken;
    for (TCaptureEndpoint& Endpoint : Endpoints) {
        std::string Name = CleanDeviceName(Endpoint.FriendlyName);
        if (IsBlankName(Name))
            continue;
        int32_t Number = 1 + int32_t(std::count_if(List.begin(), List.end(), [&](const auto& D) {
                             return D.FriendlyName == Name;
                         }));
        std::string Unique = Number > 1 ? Name + " (" + std::to_string(Number) + ")" : Name;
        while (Taken.count(Unique))
            Unique = Name + " (" + std::to_string(++Number) + ")";
        Taken.insert(Unique);
        TCapDeviceInfo Info;
        Info.FriendlyName = Name;
        Info.UniqueName = std::move(Unique);
        Info.DisplayName = Endpoint.InputFormat + ":" + Endpoint.Url;
        Info.Endpoint = std::move(Endpoint);
        List.push_back(std::move(Info));
    }
    return List;
}

TCaptureDeviceLists::TCaptureDeviceLists(TCaptureRoots Roots) : FRoots(std::move(Roots)) {}

void TCaptureDeviceLists::Rebuild(TCapDeviceList List) {
    std::vector<TCaptureEndpoint> Endpoints;
    switch (List) {
    case TCapDeviceList::AudioCompressors:
        Endpoints = EnumerateCompressors(false);
        break;
    case TCapDeviceList::VideoCompressors:
        Endpoints = EnumerateCompressors(true);
        break;
    case TCapDeviceList::AudioInputs:
        Endpoints = EnumerateAudioInputs(FRoots);
        break;
    case TCapDeviceList::VideoInputs:
        Endpoints = EnumerateVideoInputs(FRoots);
        break;
    }
    FLists[size_t(List)] = MakeDeviceList(std::move(Endpoints));
}

const std::vector<TCapDeviceInfo>& TCaptureDeviceLists::Devices(TCapDeviceList List) {
    if (!FLists[size_t(List)])
        Rebuild(List);
    return *FLists[size_t(List)];
}

std::vector<std::string> TCaptureDeviceLists::DeviceNames(TCapDeviceList List, bool Refresh) {
    if (Refresh)
        Rebuild(List);
    std::vector<std::string> Names;
    for (const TCapDeviceInfo& Device : Devices(List))
        Names.push_back(Device.UniqueName);
    return Names;
}

const TCapDeviceInfo* TCaptureDeviceLists::FindDevice(TCapDeviceList List,
                                                      std::string_view UniqueName) {
    for (const TCapDeviceInfo& Device : Devices(List))
        if (Device.UniqueName == UniqueName)
            return &Device;
    return nullptr;
}

std::optional<std::vector<TAudioInputPin>>
TCaptureDeviceLists::InputPins(std::string_view AudioDeviceName) {
    const TCapDeviceInfo* Device = FindDevice(TCapDeviceList::AudioInputs, AudioDeviceName);
    if (!Device)
        return std::nullopt;
    return AudioInputPins(Device->Endpoint);
}

std::optional<std::vector<std::string>>
TCaptureDeviceLists::InputPinNames(std::string_view AudioDeviceName) {
    auto Pins = InputPins(AudioDeviceName);
    if (!Pins)
        return std::nullopt;
    std::vector<std::string> Names;
    for (const TAudioInputPin& Pin : *Pins)
        Names.push_back(Pin.Name);
    return Names;
}

TCaptureDeviceLists& CaptureDeviceLists() {
    static TCaptureDeviceLists Lists;
    return Lists;
}

bool IsDVCamcorder(std::string_view Name) {
    return Name == DvCamcorderName;
}
