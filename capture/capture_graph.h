#pragma once

#include "capture/forward.h"
#include "core/geometry.h"
#include "core/object.h"
#include "core/video_time.h"
#include "platform/forward.h"
#include "render/output_settings.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

class TPixels;
class TPlayerObject;

// Where the live picture of a capture graph is shown: the player widget of
// the capture session implements it. Called on the user-interface thread.
class TCapturePreview {
public:
    virtual ~TCapturePreview() = default;
    virtual TSize PreviewSize() const = 0;
    // Frame is the newest picture; Placement is where it goes in the window
    // (the video layout rule).
    virtual void ShowCaptureFrame(const TPixels& Frame, const TRect& Placement) = 0;
};

// Where a video of VideoWidth x VideoHeight goes in a window of Window: the
// whole window, or with KeepAspect the largest rectangle of the video's
// shape, at the top-left corner or, with Centered, in the middle (offsets
// rounded towards zero).
TRect CaptureVideoLayout(TSize Window, int32_t VideoWidth, int32_t VideoHeight, bool KeepAspect,
                         bool Centered);

// The temporary file a recording goes into: Folder + "capTmp." + Extension,
// or with a five-digit counter "capTmp00001.avi" while that name exists.
std::string CaptureTempFileName(const std::string& Folder, const std::string& Extension);

// How long the user-interface thread waits for a capture device: for a
// snapshot's fresh frame and for a device to deliver its first picture.
inline constexpr std::chrono::milliseconds CaptureWaitLimit{1000};

// A live capture graph for one video device and one audio input: it shows
// the preview, records into a temporary file that it renames to the name
// the user gives, grabs single frames and timed series of frames, drives a
// DV camcorder's transport and can play a timeline during a recording
// (narration). Everything here runs on the user-interface thread; the
// devices are read on worker threads, whose results arrive as posted
// messages.
//
//   TCaptureGraphObject Graph(Lists, "Mic\nLine In", false, "/home/ann/Videos",
//                             Settings, &PreviewWidget, "USB Camera");
//   Graph.OnGetFileName = [](TCaptureGraphObject&, std::string& Name) { Name = "holiday"; };
//   Graph.SetRecording(true);
//   ...
//   Graph.SetRecording(false); // finishes the file and renames it
class TCaptureGraphObject : public TObject {
public:
    // Devices is the audio device and its pin joined by a line feed. A named
    // device that is not attached raises the device-not-found text; a device
    // that cannot be opened leaves the graph inert (no preview, no
    // recording, no snapshots).
    TCaptureGraphObject(TCaptureDeviceLists& Lists, const std::string& Devices, bool MonitorAudio,
                        const std::string& CaptureFolder, const TOutputSettings& OutputSettings,
                        TCapturePreview* PreviewWindow, const std::string& VideoDeviceName,
                        TMessageQueue& Messages);
    ~TCaptureGraphObject() override;
    TCaptureGraphObject(const TCaptureGraphObject&) = delete;
    TCaptureGraphObject& operator=(const TCaptureGraphObject&) = delete;

    std::string_view ClassName() const override { return "TCaptureGraphObject"; }

    const TOutputSettings& OutputSettings() const { return FSettings; }
    const std::string& TempFileName() const { return FTempFileName; }
    const std::string& FinalFileName() const { return FFinalFileName; }
    bool Built() const;
    bool Recording() const { return FRecording; }
    // The text of the last failure (device lost, disk full, rename failed).
    const std::string& LastError() const { return FLastError; }

    void SetPreviewWindow(TCapturePreview* Window);
    void SetKeepAspect(bool Flag);
    void SetCentered(bool Flag);
    void RefreshLayout();

    // Starts or stops recording; nothing when equal. Starting raises when the
    // file cannot be made (nothing is left recording, an attached timeline
    // is stopped again). Stopping finishes the file, asks OnGetFileName for
    // the name and renames; a failure there keeps the temporary file and is
    // reported through OnError and LastError.
    void SetRecording(bool Flag);
    bool KeepVideoPreview = true;
    bool KeepAudioPreview = false;

    // Hearing the audio input through the audio output (the sound card, or
    // the null sink without one) while previewing; while recording only with
    // KeepAudioPreview.
    void SetMonitorAudio(bool Flag);
    bool MonitorAudio() const { return FMonitorAudio; }
    // Whether the sound goes to the output now, and how many sample frames
    // of the input it has played.
    bool Monitoring() const;
    int64_t MonitoredFrames() const;

    // A copy of the current frame, or none without a picture (no video, or
    // no fresh frame within CaptureWaitLimit).
    std::unique_ptr<TPixels> Snapshot();
    // Interval is 1 s to 24 h, else the interval text is raised.
    void StartAnimation(TVideoTime Interval);
    void StopAnimation();

    // Narration: the timeline plays while recording. None detaches.
    void AttachTimeline(TPlayerObject* Timeline);
    void SetMuteTimeline(bool Flag);
    bool MuteTimeline() const { return FMuteTimeline; }

    // The DV camcorder's transport: -1 when unknown or absent.
    int32_t TransportMode();
    void SetTransportMode(int32_t Mode);
    bool IsVCR();
    bool HasTransport() const;

    // Device controls are not offered yet.
    bool HasPropertyPages() const { return false; }

    std::function<void(TCaptureGraphObject&)> OnStateChange;
    std::function<void(TCaptureGraphObject&, std::string& Name)> OnGetFileName;
    std::function<void(TCaptureGraphObject&)> OnTransportChange;
    std::function<void(TCaptureGraphObject&, const TPixels& Bitmap)> OnFrame;
    std::function<void(TCaptureGraphObject&, const std::string& Error)> OnError;

    // The frames and sound samples the last recording wrote (for progress
    // displays and tests).
    int64_t RecordedFrames() const;
    TVideoTime RecordedDuration() const;

private:
    struct TState;
    void BuildInputs(TCaptureDeviceLists& Lists, const std::string& AudioName,
                     const std::string& AudioPin, const std::string& VideoName);
    void PlanTempFile();
    void StopRecording(const std::string& Error);
    void KeepRecording();
    void ShowPreview();
    void DeviceEnded(const std::string& Error);
    void WriteFailed(const std::string& Error);
    void Report(const std::string& Error);
    void TakeAnimationFrame();
    void TransportChanged(int32_t Mode);
    void UpdateMonitor();

    TMessageQueue& FMessages;
    TOutputSettings FSettings;
    std::string FCaptureFolder;
    std::string FTempFileName;
    std::string FFinalFileName;
    std::string FVideoDeviceName, FAudioDeviceName, FAudioPinName;
    bool FMonitorAudio = false;
    TCapturePreview* FPreview = nullptr;
    bool FKeepAspect = true;
    bool FCentered = true;
    bool FRecording = false;
    bool FMuteTimeline = true;
    TPlayerObject* FTimeline = nullptr;
    std::string FLastError;
    int32_t FCachedMode = -1;
    bool FCachedVCR = false;
    bool FInTransportCallback = false;
    std::shared_ptr<TState> F;
};
