#include "capture/capture_graph.h"

#include "canvas/pixels.h"
#include "capture/cap_device_lists.h"
#include "capture/posting_ticker.h"
#include "core/error.h"
#include "core/text.h"
#include "core/text_table.h"
#include "platform/capture/capture_input.h"
#include "platform/capture/dv_transport.h"
#include "platform/graphics/pixel_view.h"
#include "platform/media/audio_sink.h"
#include "platform/media/media_error.h"
#include "platform/media/stream_writer.h"
#include "platform/message_queue.h"
#include "render/output_presets.h"
#include "render/output_profile.h"
#include "render/player_object.h"

#include <atomic>
#include <cerrno>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fcntl.h>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace {

using TClock = std::chrono::steady_clock;

// A snapshot takes a frame no older than this; an older one means the
// camera has stopped delivering.
constexpr auto FreshFrameAge = std::chrono::milliseconds(200);

std::string SystemError(int Code) {
    return std::strerror(Code);
}

// Moves a finished recording to its name without replacing a file there:
// a rename on one file system, else a copy then a delete. Returns the
// failure's text, empty on success; on failure From is left as it was.
std::string MoveRecording(const std::string& From, const std::string& To) {
    if (::renameat2(AT_FDCWD, From.c_str(), AT_FDCWD, To.c_str(), RENAME_NOREPLACE) == 0)
        return {};
    int Error = errno;
    if (Error == EINVAL || Error == ENOSYS) {
        // A file system without the no-replace rename: link, then unlink.
        if (::link(From.c_str(), To.c_str()) == 0) {
            ::unlink(From.c_str());
            return {};
        }
        Error = errno;
    }
    if (Error != EXDEV && Error != EPERM)
        return SystemError(Error);
    std::error_code Failure;
    if (!std::filesystem::copy_file(From, To, std::filesystem::copy_options::none, Failure)) {
        if (Failure != std::errc::file_exists)
            std::filesystem::remove(To, Failure);
        return Failure ? Failure.message() : std::string("the copy failed");
    }
    std::filesystem::remove(From, Failure);
    return {};
}

} // namespace

TRect CaptureVideoLayout(TSize Window, int32_t VideoWidth, int32_t VideoHeight, bool KeepAspect,
                         bool Centered) {
    VideoHeight = std::abs(VideoHeight);
    if (!KeepAspect || VideoWidth <= 0 || VideoHeight <= 0 || Window.Width <= 0 ||
        Window.Height <= 0)
        return {0, 0, Window.Width, Window.Height};
    double Scale = std::min(double(Window.Height) / VideoHeight, double(Window.Width) / VideoWidth);
    int32_t Width = int32_t(std::lround(VideoWidth * Scale));
    int32_t Height = int32_t(std::lround(VideoHeight * Scale));
    int32_t Left = Centered ? (Window.Width - Width) / 2 : 0;
    int32_t Top = Centered ? (Window.Height - Height) / 2 : 0;
    return {Left, Top, Left + Width, Top + Height};
}

std::string CaptureTempFileName(const std::string& Folder, const std::string& Extension) {
    std::string Base = Folder;
    if (!Base.empty() && Base.back() != '/')
        Base += '/';
    Base += "capTmp";
    std::string Name = Base + "." + Extension;
    std::error_code Error;
    for (int Number = 1; std::filesystem::exists(Name, Error) && Number <= 99999; ++Number) {
        char Digits[16];
        std::snprintf(Digits, sizeof Digits, "%05d", Number);
        Name = Base + Digits + "." + Extension;
    }
    return Name;
}

// What the device threads and the user-interface thread share.
struct TCaptureGraphObject::TState : std::enable_shared_from_this<TState> {
    TMessageQueue& Messages;
    TCaptureGraphObject* Owner; // cleared when the graph goes; UI thread only
    std::unique_ptr<TCaptureInput> Video;
    std::unique_ptr<TCaptureInput> Audio; // none when the video device brings the sound
    bool HasVideo = false, HasAudio = false;
    int32_t Channels = 2, SamplesPerSecond = 48000;
    std::unique_ptr<TDvTransport> Transport;
    std::mutex TransportLock; // one AV/C transaction at a time
    std::unique_ptr<TPostingTicker> AnimationTicker;
    // Reads the transport every 100 ms off the user-interface thread (an
    // AV/C transaction may take a while) and posts what changed.
    std::thread TransportPoller;
    std::mutex PollerLock;
    std::condition_variable PollerWake;
    bool PollerStopping = false;
    TPixels PreviewPixels;

    // Hearing the input: the sound goes also to the audio output, through a
    // short buffer (the oldest samples are dropped when the output lags).
    std::unique_ptr<TAudioSink> Monitor;
    std::atomic<bool> MonitorLive{false};
    std::mutex MonitorLock;
    std::deque<float> MonitorBuffer;
    std::atomic<int64_t> MonitoredFrames{0};

    void FeedMonitor(const float* Samples, int32_t Count) {
        std::lock_guard Guard(MonitorLock);
        MonitorBuffer.insert(MonitorBuffer.end(), Samples, Samples + size_t(Count) * size_t(Channels));
        size_t Limit = size_t(SamplesPerSecond / 5) * size_t(Channels);
        if (MonitorBuffer.size() > Limit)
            MonitorBuffer.erase(MonitorBuffer.begin(),
                                MonitorBuffer.begin() + ptrdiff_t(MonitorBuffer.size() - Limit));
    }

    // Called by the output's thread; silence where nothing has come.
    void PullMonitor(float* Samples, int32_t Count) {
        std::lock_guard Guard(MonitorLock);
        size_t Wanted = size_t(Count) * size_t(Channels);
        size_t Have = std::min(Wanted, MonitorBuffer.size() / size_t(Channels) * size_t(Channels));
        std::copy_n(MonitorBuffer.begin(), Have, Samples);
        MonitorBuffer.erase(MonitorBuffer.begin(), MonitorBuffer.begin() + ptrdiff_t(Have));
        std::fill(Samples + Have, Samples + Wanted, 0.0f);
        MonitoredFrames += int64_t(Have / size_t(Channels));
    }

    std::mutex Lock;
    std::condition_variable FrameArrived;
    std::vector<uint8_t> Frame;
    int32_t FrameWidth = 0, FrameHeight = 0;
    TClock::time_point FrameAt{};
    bool PreviewQueued = false;
    std::unique_ptr<TMediaStreamWriter> Writer;
    TClock::time_point RecordStart{};
    TVideoTime AudioClock = 0;
    TClock::time_point AudioClockAt{};
    bool AudioClockKnown = false;
    bool WriteFailed = false;
    int64_t Frames = 0;
    TVideoTime Duration = 0;

    TState(TMessageQueue& M, TCaptureGraphObject* O) : Messages(M), Owner(O) {}

    int32_t ReadTransportMode() {
        std::lock_guard Guard(TransportLock);
        return Transport ? Transport->Mode().value_or(-1) : -1;
    }

    // Known is the mode the user-interface thread has seen.
    void StartTransportPoller(int32_t Known) {
        TransportPoller = std::thread([this, Known] {
            int32_t Posted = Known;
            std::unique_lock Guard(PollerLock);
            while (!PollerWake.wait_for(Guard, std::chrono::milliseconds(100),
                                        [&] { return PollerStopping; })) {
                Guard.unlock();
                int32_t Mode = ReadTransportMode();
                if (Mode != Posted) {
                    Posted = Mode;
                    // Read again when it runs: a queued change may be stale
                    // by then.
                    PostToOwner([this](TCaptureGraphObject& Graph) {
                        Graph.TransportChanged(ReadTransportMode());
                    });
                }
                Guard.lock();
            }
        });
    }

    void StopTransportPoller() {
        {
            std::lock_guard Guard(PollerLock);
            PollerStopping = true;
        }
        PollerWake.notify_all();
        if (TransportPoller.joinable())
            TransportPoller.join();
    }

    // Runs Action on the user-interface thread while the graph lives.
    void PostToOwner(std::function<void(TCaptureGraphObject&)> Action) {
        Messages.Post([Self = weak_from_this(), Action = std::move(Action)] {
            if (auto State = Self.lock(); State && State->Owner)
                Action(*State->Owner);
        });
    }

    // Video time on the recording's clock: the sound's sample count when
    // there is sound, else the time since the recording began.
    TVideoTime RecordingTime(TClock::time_point Now) const {
        auto Since = [](TClock::time_point From, TClock::time_point To) {
            return TVideoTime(std::chrono::duration_cast<std::chrono::microseconds>(To - From).count() * 10);
        };
        if (Writer->HasAudio())
            return AudioClockKnown ? AudioClock + Since(AudioClockAt, Now) : 0;
        return Since(RecordStart, Now);
    }

    void FailWriting(const std::exception& Error) {
        WriteFailed = true;
        PostToOwner([Text = std::string(Error.what())](TCaptureGraphObject& Graph) {
            Graph.WriteFailed(Text);
        });
    }

    void OnVideo(const TPixelView& Picture, TVideoTime) {
        std::lock_guard Guard(Lock);
        auto Now = TClock::now();
        Frame.assign(Picture.Pixels, Picture.Pixels + size_t(Picture.Width) * size_t(Picture.Height) * 4);
        FrameWidth = Picture.Width;
        FrameHeight = Picture.Height;
        FrameAt = Now;
        FrameArrived.notify_all();
        if (Writer && !WriteFailed && Writer->HasVideo()) {
            try {
                Writer->WriteVideo(Picture, RecordingTime(Now));
            } catch (const std::exception& Error) {
                FailWriting(Error);
            }
        }
        if (!PreviewQueued) {
            PreviewQueued = true;
            PostToOwner([](TCaptureGraphObject& Graph) { Graph.ShowPreview(); });
        }
    }

    void OnAudio(const float* Samples, int32_t Count) {
        if (MonitorLive)
            FeedMonitor(Samples, Count);
        std::lock_guard Guard(Lock);
        if (!Writer || WriteFailed || !Writer->HasAudio())
            return;
        try {
            Writer->WriteAudio(Samples, Count);
            AudioClock = Writer->AudioTime();
            AudioClockAt = TClock::now();
            AudioClockKnown = true;
        } catch (const std::exception& Error) {
            FailWriting(Error);
        }
    }

    TCaptureInputHandlers Handlers(bool WithVideo) {
        TCaptureInputHandlers H;
        // The inputs belong to this state and are stopped (their reader
        // joined) before it goes: a plain pointer, no cycle of owners.
        TState* Self = this;
        if (WithVideo)
            H.OnVideo = [Self](const TPixelView& P, TVideoTime T) { Self->OnVideo(P, T); };
        H.OnAudio = [Self](const float* S, int32_t N) { Self->OnAudio(S, N); };
        H.OnEnd = [Self](const std::string& Error) {
            if (!Error.empty())
                Self->PostToOwner([Error](TCaptureGraphObject& Graph) { Graph.DeviceEnded(Error); });
        };
        return H;
    }
};

TCaptureGraphObject::TCaptureGraphObject(TCaptureDeviceLists& Lists, const std::string& Devices,
                                         bool MonitorAudio, const std::string& CaptureFolder,
                                         const TOutputSettings& OutputSettings,
                                         TCapturePreview* PreviewWindow,
                                         const std::string& VideoDeviceName,
                                         TMessageQueue& Messages)
    : FMessages(Messages), FSettings(OutputSettings), FCaptureFolder(CaptureFolder),
      FVideoDeviceName(VideoDeviceName), FMonitorAudio(MonitorAudio), FPreview(PreviewWindow),
      F(std::make_shared<TState>(Messages, this)) {
    size_t Break = Devices.find('\n');
    FAudioDeviceName = Devices.substr(0, Break);
    FAudioPinName = Break == std::string::npos ? std::string() : Devices.substr(Break + 1);
    if (FVideoDeviceName.empty() && FAudioDeviceName.empty())
        return;
    BuildInputs(Lists, FAudioDeviceName, FAudioPinName, FVideoDeviceName);
    PlanTempFile();
    UpdateMonitor();
    if (F->Transport) {
        int32_t Mode = F->ReadTransportMode();
        TransportChanged(Mode);
        F->StartTransportPoller(Mode);
    }
}

TCaptureGraphObject::~TCaptureGraphObject() {
    F->AnimationTicker.reset();
    F->StopTransportPoller();
    if (FRecording)
        StopRecording({}); // asks for the name; the recording is not lost
    AttachTimeline(nullptr);
    F->Owner = nullptr;
    FMonitorAudio = false;
    UpdateMonitor();
    if (F->Video)
        F->Video->Stop();
    if (F->Audio)
        F->Audio->Stop();
    // A temporary file still here was declined or never written.
    std::error_code Error;
    if (!FTempFileName.empty())
        std::filesystem::remove(FTempFileName, Error);
}

void TCaptureGraphObject::BuildInputs(TCaptureDeviceLists& Lists, const std::string& AudioName,
                                      const std::string& AudioPin, const std::string& VideoName) {
    auto NotFound = [](const std::string& Name) {
        return EError(FormatMessageText(GetText(TTextSlot::CaptureDeviceNotFound), Name));
    };
    const TCapDeviceInfo* VideoDevice = nullptr;
    if (!VideoName.empty()) {
        VideoDevice = Lists.FindDevice(TCapDeviceList::VideoInputs, VideoName);
        if (!VideoDevice)
            throw NotFound(VideoName);
    }
    const TCapDeviceInfo* AudioDevice = nullptr;
    if (!AudioName.empty()) {
        AudioDevice = Lists.FindDevice(TCapDeviceList::AudioInputs, AudioName);
        if (!AudioDevice)
            AudioDevice = Lists.FindDevice(TCapDeviceList::VideoInputs, AudioName);
        if (!AudioDevice)
            throw NotFound(AudioName);
    }
    try {
        TCaptureInputRequest Request;
        const TVideoFormat& Wanted = FSettings.Video;
        if (Wanted.Preset != 0) {
            Request.Width = Wanted.Width;
            Request.Height = Wanted.Height;
            Request.FramesPerSecond = Wanted.FramesPerSecond;
        }
        Request.AudioPin = AudioPin;
        bool Shared = VideoDevice && AudioDevice && VideoDevice->Endpoint == AudioDevice->Endpoint;
        if (VideoDevice) {
            F->Video = std::make_unique<TCaptureInput>(VideoDevice->Endpoint, Request);
            F->HasVideo = F->Video->HasVideo();
            F->Transport = OpenDvTransport(VideoDevice->Endpoint);
        }
        if (AudioDevice && !Shared)
            F->Audio = std::make_unique<TCaptureInput>(AudioDevice->Endpoint, Request);
        TCaptureInput* Sound = Shared ? F->Video.get() : F->Audio.get();
        F->HasAudio = Sound && Sound->HasAudio();
        if (F->HasAudio) {
            F->Channels = Sound->Channels();
            F->SamplesPerSecond = Sound->SamplesPerSecond();
        }
        if (F->Video)
            F->Video->Start(F->Handlers(true));
        if (F->Audio)
            F->Audio->Start(F->Handlers(false));
    } catch (const EMediaError& Error) {
        // A device that cannot be opened: the graph stays, inert.
        F->Video.reset();
        F->Audio.reset();
        F->Transport.reset();
        F->HasVideo = F->HasAudio = false;
        FLastError = Error.what();
    }
}

void TCaptureGraphObject::PlanTempFile() {
    bool Video = FSettings.Video.Preset != 0 && OutputFormatHasVideo(FSettings.OutputFormat);
    bool Audio = FSettings.Audio.Preset != 0 || !OutputFormatHasVideo(FSettings.OutputFormat);
    FTempFileName.clear();
    if (Video || Audio)
        FTempFileName = CaptureTempFileName(FCaptureFolder, OutputFormatExtension(FSettings.OutputFormat));
}

bool TCaptureGraphObject::Built() const {
    return F->Video || F->Audio;
}

int64_t TCaptureGraphObject::RecordedFrames() const {
    return F->Frames;
}
TVideoTime TCaptureGraphObject::RecordedDuration() const {
    return F->Duration;
}

void TCaptureGraphObject::Report(const std::string& Error) {
    FLastError = Error;
    if (OnError)
        OnError(*this, Error);
}

void TCaptureGraphObject::SetRecording(bool Flag) {
    if (Flag == FRecording)
        return;
    if (!Flag) {
        StopRecording({});
        return;
    }
    if (!Built() || FTempFileName.empty())
        return;
    bool AudioOnlyFormat = !OutputFormatHasVideo(FSettings.OutputFormat);
    TRenderFormats Formats;
    TStreamWriterFormat Stream;
    if (F->HasVideo && !AudioOnlyFormat && FSettings.Video.Preset != 0) {
        Formats.Video = {VideoPresetCustom, F->Video->Width(), F->Video->Height(),
                         F->Video->FramesPerSecond()};
        Stream.Width = F->Video->Width();
        Stream.Height = F->Video->Height();
        Stream.FramesPerSecond = F->Video->FramesPerSecond();
    }
    if (F->HasAudio && (FSettings.Audio.Preset != 0 || AudioOnlyFormat)) {
        Formats.Audio = {AudioPresetCustom, uint16_t(F->Channels), 16,
                         uint32_t(F->SamplesPerSecond)};
        Stream.Channels = F->Channels;
        Stream.SamplesPerSecond = F->SamplesPerSecond;
    }
    if (FTimeline)
        FTimeline->PlayTo(PlayToEnd);
    std::unique_ptr<TMediaStreamWriter> Writer;
    try {
        Writer = std::make_unique<TMediaStreamWriter>(FTempFileName,
                                                      MakeWriterProfile(FSettings, Formats), Stream);
    } catch (...) {
        if (FTimeline)
            FTimeline->Pause();
        throw;
    }
    {
        std::lock_guard Guard(F->Lock);
        F->Writer = std::move(Writer);
        F->RecordStart = TClock::now();
        F->AudioClockKnown = false;
        F->WriteFailed = false;
        F->Frames = 0;
        F->Duration = 0;
    }
    FFinalFileName.clear();
    FRecording = true;
    UpdateMonitor();
    if (OnStateChange)
        OnStateChange(*this);
}

void TCaptureGraphObject::StopRecording(const std::string& Reason) {
    std::unique_ptr<TMediaStreamWriter> Writer;
    {
        std::lock_guard Guard(F->Lock);
        Writer = std::move(F->Writer);
    }
    FRecording = false;
    UpdateMonitor();
    if (FTimeline && FTimeline->GetState() == TPlayState::Running)
        FTimeline->Pause();
    std::string Error = Reason;
    if (Writer) {
        try {
            Writer->Finish();
        } catch (const std::exception& Failure) {
            Writer->FinishQuietly();
            if (Error.empty())
                Error = Failure.what();
        }
        F->Frames = Writer->VideoFramesWritten();
        F->Duration = Writer->AudioTime();
        if (!Writer->HasAudio())
            F->Duration = TVideoTime(std::llround(double(F->Frames) * 1e7 / Writer->FramesPerSecond()));
    }
    if (!Error.empty())
        Report(FormatMessageText(GetText(TTextSlot::CaptureRecordingStopped), Error));
    KeepRecording();
    if (OnStateChange)
        OnStateChange(*this);
}

void TCaptureGraphObject::KeepRecording() {
    std::error_code Exists;
    if (FTempFileName.empty() || !std::filesystem::exists(FTempFileName, Exists))
        return;
    std::string Name;
    if (OnGetFileName)
        OnGetFileName(*this, Name);
    if (Name.empty())
        return; // not kept: the file goes with the graph or the next recording
    if (Name.find('/') == std::string::npos) {
        Name = FCaptureFolder + (FCaptureFolder.empty() || FCaptureFolder.back() == '/' ? "" : "/") + Name;
    }
    std::string Error = MoveRecording(FTempFileName, Name);
    if (Error.empty()) {
        FFinalFileName = Name;
        return;
    }
    // The recording stays under its temporary name, and the next one gets
    // a new name so that nothing deletes or overwrites it.
    Report(FormatMessageText(GetText(TTextSlot::CaptureRecordingKept), FTempFileName) + ": " + Error);
    PlanTempFile();
}

void TCaptureGraphObject::DeviceEnded(const std::string& Error) {
    if (FRecording)
        StopRecording(Error);
    else
        Report(Error);
}

void TCaptureGraphObject::WriteFailed(const std::string& Error) {
    if (FRecording)
        StopRecording(Error);
}

void TCaptureGraphObject::ShowPreview() {
    std::unique_lock Guard(F->Lock);
    F->PreviewQueued = false;
    if (!FPreview || F->Frame.empty())
        return;
    if (FRecording && !KeepVideoPreview)
        return;
    if (F->PreviewPixels.Width() != F->FrameWidth || F->PreviewPixels.Height() != F->FrameHeight)
        F->PreviewPixels.SetSize(F->FrameWidth, F->FrameHeight);
    for (int32_t Y = 0; Y < F->FrameHeight; ++Y)
        std::memcpy(F->PreviewPixels.Row(Y), F->Frame.data() + size_t(Y) * size_t(F->FrameWidth) * 4,
                    size_t(F->FrameWidth) * 4);
    Guard.unlock();
    if (FTimeline)
        return; // the timeline has the window during narration
    FPreview->ShowCaptureFrame(F->PreviewPixels,
                               CaptureVideoLayout(FPreview->PreviewSize(), F->FrameWidth,
                                                  F->FrameHeight, FKeepAspect, FCentered));
}

void TCaptureGraphObject::SetPreviewWindow(TCapturePreview* Window) {
    if (Window == FPreview)
        return;
    FPreview = Window;
    RefreshLayout();
}

void TCaptureGraphObject::SetKeepAspect(bool Flag) {
    if (Flag == FKeepAspect)
        return;
    FKeepAspect = Flag;
    RefreshLayout();
}

void TCaptureGraphObject::SetCentered(bool Flag) {
    if (Flag == FCentered)
        return;
    FCentered = Flag;
    RefreshLayout();
}

void TCaptureGraphObject::RefreshLayout() {
    ShowPreview();
}

std::unique_ptr<TPixels> TCaptureGraphObject::Snapshot() {
    if (!F->HasVideo)
        return nullptr;
    std::unique_lock Guard(F->Lock);
    auto Fresh = [&] {
        return !F->Frame.empty() && TClock::now() - F->FrameAt <= FreshFrameAge;
    };
    if (!F->FrameArrived.wait_for(Guard, CaptureWaitLimit, Fresh))
        return nullptr;
    auto Bitmap = std::make_unique<TPixels>(F->FrameWidth, F->FrameHeight);
    if (Bitmap->Width() != F->FrameWidth || Bitmap->Height() != F->FrameHeight)
        RaiseError(GetText(TTextSlot::NotEnoughMemory));
    for (int32_t Y = 0; Y < F->FrameHeight; ++Y)
        std::memcpy(Bitmap->Row(Y), F->Frame.data() + size_t(Y) * size_t(F->FrameWidth) * 4,
                    size_t(F->FrameWidth) * 4);
    return Bitmap;
}

void TCaptureGraphObject::StartAnimation(TVideoTime Interval) {
    if (Interval < 10'000'000 || Interval > 864'000'000'000)
        RaiseError(GetText(TTextSlot::CaptureIntervalOutOfRange));
    TakeAnimationFrame();
    auto Milliseconds = std::chrono::milliseconds(std::llround(double(Interval) / 10'000.0));
    F->AnimationTicker = std::make_unique<TPostingTicker>(FMessages, Milliseconds,
                                                          [this] { TakeAnimationFrame(); });
}

void TCaptureGraphObject::StopAnimation() {
    F->AnimationTicker.reset();
}

void TCaptureGraphObject::TakeAnimationFrame() {
    if (!OnFrame)
        return;
    if (std::unique_ptr<TPixels> Bitmap = Snapshot())
        OnFrame(*this, *Bitmap);
}

void TCaptureGraphObject::AttachTimeline(TPlayerObject* Timeline) {
    if (Timeline == FTimeline)
        return;
    FTimeline = Timeline;
    RefreshLayout();
}

void TCaptureGraphObject::SetMuteTimeline(bool Flag) {
    FMuteTimeline = Flag;
}

bool TCaptureGraphObject::HasTransport() const {
    return F->Transport != nullptr;
}

int32_t TCaptureGraphObject::TransportMode() {
    if (FInTransportCallback)
        return FCachedMode;
    return F->ReadTransportMode();
}

bool TCaptureGraphObject::IsVCR() {
    if (FInTransportCallback)
        return FCachedVCR;
    return F->ReadTransportMode() != -1;
}

void TCaptureGraphObject::SetTransportMode(int32_t Mode) {
    if (!F->Transport)
        return;
    {
        std::lock_guard Guard(F->TransportLock);
        F->Transport->SetMode(Mode);
    }
    TransportChanged(F->ReadTransportMode());
}

void TCaptureGraphObject::TransportChanged(int32_t Mode) {
    if (FInTransportCallback)
        return;
    bool VCR = Mode != -1;
    if (Mode == FCachedMode && VCR == FCachedVCR)
        return;
    FCachedMode = Mode;
    FCachedVCR = VCR;
    if (!OnTransportChange)
        return;
    FInTransportCallback = true;
    try {
        OnTransportChange(*this);
    } catch (...) {
        FInTransportCallback = false;
        throw;
    }
    FInTransportCallback = false;
}

void TCaptureGraphObject::SetMonitorAudio(bool Flag) {
    if (Flag == FMonitorAudio)
        return;
    FMonitorAudio = Flag;
    UpdateMonitor();
}

bool TCaptureGraphObject::Monitoring() const {
    return F->Monitor != nullptr;
}

int64_t TCaptureGraphObject::MonitoredFrames() const {
    return F->MonitoredFrames;
}

void TCaptureGraphObject::UpdateMonitor() {
    bool Wanted = FMonitorAudio && F->HasAudio && (!FRecording || KeepAudioPreview);
    if (Wanted == (F->Monitor != nullptr))
        return;
    if (!Wanted) {
        F->MonitorLive = false;
        F->Monitor->Stop();
        F->Monitor.reset();
        std::lock_guard Guard(F->MonitorLock);
        F->MonitorBuffer.clear();
        return;
    }
    TMediaAudioFormat Format;
    Format.Channels = F->Channels;
    Format.SamplesPerSecond = F->SamplesPerSecond;
    F->Monitor = OpenAudioSink(Format);
    F->MonitorLive = true;
    TState* State = F.get(); // the sink is stopped before the state goes
    F->Monitor->Start([State](float* Samples, int32_t Count) { State->PullMonitor(Samples, Count); });
}
