#pragma once

#include "capture/forward.h"
#include "core/changes.h"
#include "platform/forward.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

enum class TCaptureChangeFlags : uint32_t {};
template <>
inline constexpr bool IsFlagSet<TCaptureChangeFlags> = true;
constexpr TCaptureChangeFlags CaptureChangePhoto{0x01};
constexpr TCaptureChangeFlags CaptureChangeAudioRecord{0x02};
constexpr TCaptureChangeFlags CaptureChangeVideoRecord{0x04};
constexpr TCaptureChangeFlags CaptureChangeNarration{0x08};
constexpr TCaptureChangeFlags CaptureChangeAudioInputs{0x10};
constexpr TCaptureChangeFlags CaptureChangeVideoDevices{0x20};

using TCaptureChanges = TFlagChanges<TCaptureChangeFlags>;

// An entry of a device chooser: the key a selection stores and the text shown.
struct TInputDescription {
    std::string Key;
    std::string Caption;

    bool operator==(const TInputDescription&) const = default;
};

// The audio input key of the DV camcorder's sound: its name and a line feed.
std::string DvCamcorderAudioKey();

// The attached video devices and audio inputs, and the program's four device
// selections (photo, audio recording, video recording, narration), kept
// valid while devices come and go. A selection whose device goes away falls
// to none and is remembered; it comes back when the device does. Audio
// inputs are keyed "device\npin"; video devices by unique name.
//
//   TCaptureDevices Devices(CaptureDeviceLists());
//   Devices.Changes().AddChangeHandler(...);
//   Devices.WatchDevices(UiMessages()); // refreshes on hot-plug
class TCaptureDevices : public TObject {
public:
    // Enumerates at once (Refresh(true)).
    explicit TCaptureDevices(TCaptureDeviceLists& Lists);
    ~TCaptureDevices() override;
    TCaptureDevices(const TCaptureDevices&) = delete;
    TCaptureDevices& operator=(const TCaptureDevices&) = delete;

    std::string_view ClassName() const override { return "TCaptureDevices"; }
    TCaptureChanges& Changes() { return FChanges; }

    // Enumerates the devices again and revalidates the selections, in one
    // update bracket.
    void Refresh(bool First);
    // Refreshes on every burst of device changes, posted to Messages.
    void WatchDevices(TMessageQueue& Messages);
    // Tells the watcher of a change the program made itself (test devices).
    void DevicesChanged();

    const std::vector<std::string>& VideoDevices() const { return FVideoDevices; }
    const std::vector<std::string>& AudioInputDevices() const { return FAudioInputDevices; }
    const std::vector<std::string>& AudioInputPins() const { return FAudioInputPins; }

    int32_t AudioInputCount() const { return int32_t(FAudioInputDevices.size()); }
    int32_t VideoDeviceCount() const { return int32_t(FVideoDevices.size()); }
    // Index 0 is the none entry, as is an index out of range.
    TInputDescription GetAudioInput(int32_t Index) const;
    TInputDescription GetVideoDevice(int32_t Index) const;
    bool IsAudioInput(std::string_view Key) const;

    const std::string& PhotoId() const { return FPhoto.Id; }
    const std::string& AudioRecordId() const { return FAudioRecord.Id; }
    const std::string& VideoRecordId() const { return FVideoRecord.Id; }
    const std::string& NarrationId() const { return FNarration.Id; }
    // What the user chose while that device was absent.
    const std::string& RememberedPhotoId() const { return FPhoto.Remembered; }
    const std::string& RememberedAudioRecordId() const { return FAudioRecord.Remembered; }
    const std::string& RememberedVideoRecordId() const { return FVideoRecord.Remembered; }
    const std::string& RememberedNarrationId() const { return FNarration.Remembered; }

    void SetPhotoId(const std::string& Name);
    void SetVideoRecordId(const std::string& Name);
    void SetAudioRecordId(const std::string& Key);
    void SetNarrationId(const std::string& Key);

private:
    struct TSelection {
        std::string Id;
        std::string Remembered;
    };

    void SetVideoSelection(TSelection& Selection, const std::string& Name,
                           TCaptureChangeFlags Flag);
    void SetAudioSelection(TSelection& Selection, const std::string& Key,
                           TCaptureChangeFlags Flag);
    void Revalidate(TSelection& Selection, TCaptureChangeFlags Flag, bool Video,
                    int32_t OldCount);
    void ApplyCamcorderAudioRule();
    std::string DefaultAudioInput();

    TCaptureDeviceLists& FLists;
    TCaptureChanges FChanges{this};
    std::vector<std::string> FVideoDevices;
    std::vector<std::string> FAudioInputDevices;
    std::vector<std::string> FAudioInputPins;
    TSelection FPhoto, FAudioRecord, FVideoRecord, FNarration;
    std::unique_ptr<class TCaptureDeviceMonitor> FMonitor;
};
