#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// One capture device or compressor as the platform enumerates it: its name
// for people and what opens it. The capture graphs hand InputFormat and Url
// to libavdevice; the device lists only compare and show FriendlyName.
struct TCaptureEndpoint {
    std::string FriendlyName; // cleaned and bounded (CleanDeviceName)
    std::string InputFormat;  // libavdevice input: "video4linux2", "alsa", "iec61883", "lavfi"
    std::string Url;          // what that input opens: "/dev/video0", "hw:CARD=PCH,DEV=0"
    // For a FireWire unit: its node on the bus, for the AV/C commands.
    int32_t FireWirePort = -1;
    int32_t FireWireNode = -1;

    bool operator==(const TCaptureEndpoint&) const = default;
};

// One input of an audio device: a mixer element that can be switched on for
// capture, or an item of the card's capture source selector.
struct TAudioInputPin {
    std::string Name;
    bool Enabled = false;

    bool operator==(const TAudioInputPin&) const = default;
};

// What VIDIOC_QUERYCAP tells about a video node.
struct TVideoNodeCapabilities {
    std::string Card;
    uint32_t DeviceCaps = 0; // V4L2_CAP_* of this node
};

// Where the enumeration looks. Tests point the folders at a fake tree and
// answer the capability query from it; the defaults are the machine's.
struct TCaptureRoots {
    std::string VideoClassFolder = "/sys/class/video4linux";
    std::string DeviceFolder = "/dev";
    // Asks a video node what it can do; nothing when it cannot be asked
    // (gone, or not a V4L2 node). The default opens the node without
    // blocking and issues VIDIOC_QUERYCAP.
    std::function<std::optional<TVideoNodeCapabilities>(const std::string& DevicePath)>
        QueryVideoNode;
    // Whether the sound system (ALSA, and a PulseAudio server that runs) and
    // FireWire are asked too (off in tests of the fake tree).
    bool WithAlsa = true;
    bool WithFireWire = true;
};

// The V4L2 video-capture capability bits the lists keep a node for.
constexpr uint32_t VideoNodeCaptureCaps = 0x00000001u | 0x00001000u; // VIDEO_CAPTURE, _MPLANE

// Names a device's driver gives are untrusted: control characters become
// spaces (a line feed would split an audio input key), bytes that are not
// UTF-8 become "?", and the name is cut to MaxDeviceNameBytes at a
// character boundary. Surrounding blanks stay: the lists decide on them.
constexpr size_t MaxDeviceNameBytes = 120;
std::string CleanDeviceName(std::string_view Raw);

// The video inputs: V4L2 nodes that capture video, in node number order,
// then the DV camcorders on FireWire, then the test cameras and test deck
// when they are switched on (test_capture_devices.h).
std::vector<TCaptureEndpoint> EnumerateVideoInputs(const TCaptureRoots& Roots = {});
// The audio inputs: ALSA capture devices by card and device, found through
// the cards' control interfaces so that a busy device is never opened; then
// ALSA's configured capture PCMs that carry a description hint; then the
// sources of a running PulseAudio server; then the test microphone when
// switched on.
std::vector<TCaptureEndpoint> EnumerateAudioInputs(const TCaptureRoots& Roots = {});
// The input pins of an audio device from its card's mixer, in element
// order; empty when it has none or the mixer cannot be read.
std::vector<TAudioInputPin> AudioInputPins(const TCaptureEndpoint& Device);
// The encoders libavcodec offers, by kind, for codec choice.
std::vector<TCaptureEndpoint> EnumerateCompressors(bool Video);

// The parts of the enumeration, for the folders of a test tree.
std::vector<TCaptureEndpoint> EnumerateVideoNodes(const TCaptureRoots& Roots);
std::vector<TCaptureEndpoint> EnumerateAlsaCaptureDevices();
std::vector<TCaptureEndpoint> EnumerateAlsaHintedCapturePcms();
std::vector<TCaptureEndpoint> EnumerateFireWireCamcorders();
// The recording sources of a PulseAudio server (PipeWire's included) that
// already runs, opened through libavdevice's "pulse" input; the monitors of
// outputs are left out. Nothing when no server answers within Limit.
std::vector<TCaptureEndpoint> EnumeratePulseSources(
    std::chrono::milliseconds Limit = std::chrono::milliseconds(500));

// The name under which the DV camcorder is listed, whatever the unit says.
inline constexpr const char* DvCamcorderName = "Microsoft DV Camera and VCR";
