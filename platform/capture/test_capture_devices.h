#pragma once

#include <atomic>
#include <string>

// Capture devices for machines without any (tests, CI): two test-pattern
// cameras of the same name, a tone microphone with two pins and a DV deck
// under the camcorder's name. They are registered through the same
// enumeration as real devices when QM_TEST_CAPTURE_DEVICES is set to 1 (or
// when a test switches them on), and are opened through libavdevice's lavfi
// input, so everything after the enumeration runs the real capture path.
//
//   TestCaptureDevices().SetEnabled(true);
//   TestCaptureDevices().SetCameraPlugged(false); // as if unplugged
class TTestCaptureDevices {
public:
    bool Enabled() const;
    void SetEnabled(bool On) { FEnabled = On ? 1 : 0; }

    bool CameraPlugged() const { return FCameraPlugged; }
    void SetCameraPlugged(bool On) { FCameraPlugged = On; }
    bool SecondCameraPlugged() const { return FSecondCameraPlugged; }
    void SetSecondCameraPlugged(bool On) { FSecondCameraPlugged = On; }
    bool MicrophonePlugged() const { return FMicrophonePlugged; }
    void SetMicrophonePlugged(bool On) { FMicrophonePlugged = On; }
    bool DeckPlugged() const { return FDeckPlugged; }
    void SetDeckPlugged(bool On) { FDeckPlugged = On; }
    // A stalled camera delivers nothing until it is let go again.
    bool CameraStalled() const { return FCameraStalled; }
    void SetCameraStalled(bool On) { FCameraStalled = On; }
    // The microphone's enabled pin: 0 (the first) or 1.
    int EnabledMicrophonePin() const { return FEnabledPin; }
    void SetEnabledMicrophonePin(int Pin) { FEnabledPin = Pin == 1 ? 1 : 0; }

    // Whether the test device at Url is plugged in; true for any other Url.
    bool Plugged(const std::string& Url) const;
    // Back to every device plugged in and running, and the first pin on.
    void Reset();

private:
    std::atomic<int> FEnabled{-1}; // -1: as the environment says
    std::atomic<bool> FCameraPlugged{true};
    std::atomic<bool> FSecondCameraPlugged{true};
    std::atomic<bool> FMicrophonePlugged{true};
    std::atomic<bool> FDeckPlugged{true};
    std::atomic<int> FEnabledPin{0};
    std::atomic<bool> FCameraStalled{false};
};

TTestCaptureDevices& TestCaptureDevices();

inline constexpr const char* TestCameraName = "Quillmoor Test Camera";
inline constexpr const char* TestMicrophoneName = "Quillmoor Test Microphone";
// The microphone's pins and the tone each one gives.
inline constexpr const char* TestMicrophonePinNames[2] = {"Line In", "Microphone"};
inline constexpr int TestMicrophonePinTones[2] = {440, 1000};
