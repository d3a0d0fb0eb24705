#include "capture/capture_devices.h"

#include "capture/cap_device_lists.h"
#include "core/text_table.h"
#include "platform/capture/device_monitor.h"

#include <algorithm>

std::string DvCamcorderAudioKey() {
    return std::string(DvCamcorderName) + "\n";
}

TCaptureDevices::TCaptureDevices(TCaptureDeviceLists& Lists) : FLists(Lists) {
    Refresh(true);
}

TCaptureDevices::~TCaptureDevices() = default;

void TCaptureDevices::WatchDevices(TMessageQueue& Messages) {
    FMonitor = std::make_unique<TCaptureDeviceMonitor>(Messages, [this] { Refresh(false); });
}

void TCaptureDevices::DevicesChanged() {
    if (FMonitor)
        FMonitor->Notify();
}

TInputDescription TCaptureDevices::GetAudioInput(int32_t Index) const {
    if (Index < 1 || Index > AudioInputCount())
        return {"", GetText(TTextSlot::CaptureNoDevice)};
    const std::string& Device = FAudioInputDevices[size_t(Index - 1)];
    const std::string& Pin = FAudioInputPins[size_t(Index - 1)];
    TInputDescription Description;
    if (!Device.empty())
        Description.Key = Device + "\n" + Pin;
    Description.Caption = Pin.empty() ? Device : Device + " - " + Pin;
    return Description;
}

TInputDescription TCaptureDevices::GetVideoDevice(int32_t Index) const {
    if (Index < 1 || Index > VideoDeviceCount())
        return {"", GetText(TTextSlot::CaptureNoDevice)};
    const std::string& Name = FVideoDevices[size_t(Index - 1)];
    return {Name, Name};
}

bool TCaptureDevices::IsAudioInput(std::string_view Key) const {
    if (Key.empty())
        return true;
    for (int32_t I = 1; I <= AudioInputCount(); ++I)
        if (GetAudioInput(I).Key == Key)
            return true;
    return false;
}

void TCaptureDevices::SetVideoSelection(TSelection& Selection, const std::string& Name,
                                        TCaptureChangeFlags Flag) {
    if (Name == Selection.Id)
        return;
    bool Present = std::find(FVideoDevices.begin(), FVideoDevices.end(), Name) !=
                   FVideoDevices.end();
    if (!Name.empty() && !Present) {
        Selection.Remembered = Name;
    } else {
        Selection.Id = Name;
        Selection.Remembered.clear();
    }
    FChanges.Change(Flag);
}

void TCaptureDevices::SetAudioSelection(TSelection& Selection, const std::string& Key,
                                        TCaptureChangeFlags Flag) {
    if (Key == Selection.Id)
        return;
    if (IsAudioInput(Key)) {
        Selection.Id = Key;
        Selection.Remembered.clear();
    } else {
        Selection.Remembered = Key;
    }
    FChanges.Change(Flag);
}

void TCaptureDevices::SetPhotoId(const std::string& Name) {
    SetVideoSelection(FPhoto, Name, CaptureChangePhoto);
}

void TCaptureDevices::SetVideoRecordId(const std::string& Name) {
    TUpdateGuard Guard(FChanges);
    std::string Old = FVideoRecord.Id;
    SetVideoSelection(FVideoRecord, Name, CaptureChangeVideoRecord);
    if (FVideoRecord.Id != Old && IsDVCamcorder(FVideoRecord.Id))
        ApplyCamcorderAudioRule();
}

void TCaptureDevices::SetAudioRecordId(const std::string& Key) {
    SetAudioSelection(FAudioRecord, Key, CaptureChangeAudioRecord);
}

void TCaptureDevices::SetNarrationId(const std::string& Key) {
    SetAudioSelection(FNarration, Key, CaptureChangeNarration);
}

void TCaptureDevices::ApplyCamcorderAudioRule() {
    // The camcorder's sound is recorded with its picture.
    std::string Key = DvCamcorderAudioKey();
    if (FAudioRecord.Id == Key)
        return;
    FAudioRecord.Id = Key;
    FChanges.Change(CaptureChangeAudioRecord);
}

void TCaptureDevices::Revalidate(TSelection& Selection, TCaptureChangeFlags Flag, bool Video,
                                 int32_t OldCount) {
    int32_t Count = Video ? VideoDeviceCount() : AudioInputCount();
    auto KeyAt = [&](int32_t Index) {
        return Video ? GetVideoDevice(Index).Key : GetAudioInput(Index).Key;
    };
    auto IsKey = [&](const std::string& Key, int32_t From) {
        for (int32_t I = From; I <= Count; ++I)
            if (KeyAt(I) == Key)
                return true;
        return false;
    };
    if (!Selection.Id.empty()) {
        if (IsKey(Selection.Id, 0))
            return;
        Selection.Remembered = Selection.Id;
        Selection.Id = KeyAt(0);
        FChanges.Change(Flag);
        return;
    }
    if (OldCount == 0 && Count > 0) {
        Selection.Id = KeyAt(1);
        FChanges.Change(Flag);
        return;
    }
    if (!Selection.Remembered.empty() && IsKey(Selection.Remembered, 1)) {
        Selection.Id = Selection.Remembered;
        Selection.Remembered.clear();
        FChanges.Change(Flag);
    }
}

std::string TCaptureDevices::DefaultAudioInput() {
    if (FAudioInputDevices.empty())
        return {};
    const std::string& Device = FAudioInputDevices.front();
    auto Pins = FLists.InputPins(Device);
    std::string PinName;
    bool Found = false;
    if (Pins)
        for (const TAudioInputPin& Pin : *Pins)
            if (Pin.Enabled) {
                PinName = Pin.Name;
                Found = true;
            }
    // A device without pins records from its only input.
    if (Pins && Pins->empty())
        Found = true;
    if (!Found)
        return {};
    for (size_t I = 0; I < FAudioInputDevices.size() && FAudioInputDevices[I] == Device; ++I)
        if (FAudioInputPins[I] == PinName)
            return Device + "\n" + PinName;
    return {};
}

void TCaptureDevices::Refresh(bool First) {
    TUpdateGuard Guard(FChanges);
    int32_t OldAudioCount = AudioInputCount();
    int32_t OldVideoCount = VideoDeviceCount();
    bool Changed = false;

    std::vector<std::string> Video = FLists.DeviceNames(TCapDeviceList::VideoInputs, true);
    if (Video != FVideoDevices) {
        FVideoDevices = std::move(Video);
        FChanges.Change(CaptureChangeVideoDevices);
        Changed = true;
    }

    std::vector<std::string> Devices, Pins;
    for (const std::string& Name : FLists.DeviceNames(TCapDeviceList::AudioInputs, true)) {
        std::vector<std::string> Names = FLists.InputPinNames(Name).value_or(std::vector<std::string>{});
        if (Names.empty())
            Names.emplace_back(); // a device without pins is one input
        for (std::string& Pin : Names) {
            Devices.push_back(Name);
            Pins.push_back(std::move(Pin));
        }
    }
    if (std::find(FVideoDevices.begin(), FVideoDevices.end(), DvCamcorderName) !=
        FVideoDevices.end()) {
        Devices.emplace_back(DvCamcorderName);
        Pins.emplace_back();
    }
    if (Devices != FAudioInputDevices || Pins != FAudioInputPins) {
        FAudioInputDevices = std::move(Devices);
        FAudioInputPins = std::move(Pins);
        FChanges.Change(CaptureChangeAudioInputs);
        Changed = true;
    }
    if (!Changed)
        return;

    std::string OldVideoRecord = FVideoRecord.Id;
    Revalidate(FPhoto, CaptureChangePhoto, true, OldVideoCount);
    Revalidate(FVideoRecord, CaptureChangeVideoRecord, true, OldVideoCount);
    if (First) {
        if (!FAudioRecord.Id.empty()) {
            FAudioRecord.Id.clear();
            FChanges.Change(CaptureChangeAudioRecord);
        }
        std::string Default = DefaultAudioInput();
        if (Default != FNarration.Id) {
            FNarration.Id = Default;
            FChanges.Change(CaptureChangeNarration);
        }
    } else {
        Revalidate(FAudioRecord, CaptureChangeAudioRecord, false, OldAudioCount);
        Revalidate(FNarration, CaptureChangeNarration, false, OldAudioCount);
    }
    if (FVideoRecord.Id != OldVideoRecord && IsDVCamcorder(FVideoRecord.Id))
        ApplyCamcorderAudioRule();
}
