#pragma once

#include "platform/forward.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

struct TCaptureMonitorOptions {
    // Watched with inotify when udev is not running (or UseUdev is off).
    std::string DeviceFolder = "/dev";
    bool UseUdev = true;
    // A burst ends when no device event came for this long.
    std::chrono::milliseconds Quiet{250};
};

// Watches capture devices come and go: a libudev monitor on the video,
// sound and FireWire subsystems, or inotify on the device folder where udev
// is absent. A worker thread waits for events; a burst of them (a camera
// brings a video node, a metadata node and a sound card) gives one
// OnChanged, posted to the message queue so that it runs on the thread that
// processes the queue. Nothing is posted after the monitor is destroyed.
//
//   TCaptureDeviceMonitor Monitor(UiMessages(), [&] { Devices.Refresh(false); });
class TCaptureDeviceMonitor {
public:
    TCaptureDeviceMonitor(TMessageQueue& Messages, std::function<void()> OnChanged,
                          TCaptureMonitorOptions Options = {});
    ~TCaptureDeviceMonitor();
    TCaptureDeviceMonitor(const TCaptureDeviceMonitor&) = delete;
    TCaptureDeviceMonitor& operator=(const TCaptureDeviceMonitor&) = delete;

    // A device change the program made itself (the test devices' plugs):
    // coalesced with the others.
    void Notify();
    // Whether the events come from udev (else from inotify, or none when
    // neither could be set up).
    bool UsesUdev() const;
    bool Watching() const;

private:
    struct TState;
    std::shared_ptr<TState> F;
};
