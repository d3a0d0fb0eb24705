#include "capture/capture_job.h"

#include "canvas/pixels.h"
#include "capture/cap_device_lists.h"
#include "capture/capture_graph.h"
#include "capture/dv_write_graph.h"
#include "core/text.h"
#include "core/text_table.h"
#include "platform/media/media_writer.h"
#include "platform/media/picture_file.h"
#include "platform/media/png_bytes.h"
#include "platform/media/video_frame.h"
#include "platform/message_queue.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>

namespace {

using namespace std::chrono_literals;

struct TKindName {
    const char* Name;
    TMediaOutputFormat Format;
};

constexpr TKindName KindNames[] = {
    {"wmv", TMediaOutputFormat::WindowsMediaVideo}, {"wma", TMediaOutputFormat::WindowsMediaAudio},
    {"mp4", TMediaOutputFormat::Mp4},               {"dvavi", TMediaOutputFormat::DvAvi},
    {"avi", TMediaOutputFormat::UncompressedAvi},   {"mpeg4avi", TMediaOutputFormat::CompressedAvi},
    {"mp3", TMediaOutputFormat::Mp3},               {"wav", TMediaOutputFormat::Wav},
};

int ListDevices(TCaptureDeviceLists& Lists, std::ostream& Out) {
    for (const std::string& Name : Lists.DeviceNames(TCapDeviceList::VideoInputs, true))
        Out << (IsDVCamcorder(Name) ? "dv" : "video") << '\t' << Name << '\n';
    for (const std::string& Name : Lists.DeviceNames(TCapDeviceList::AudioInputs, true)) {
        Out << "audio\t" << Name << '\n';
        for (const std::string& Pin : Lists.InputPinNames(Name).value_or(std::vector<std::string>{}))
            Out << "audio\t" << Name << '\t' << Pin << '\n';
    }
    for (const std::string& Name : Lists.DeviceNames(TCapDeviceList::VideoCompressors, true))
        Out << "video-compressor\t" << Name << '\n';
    for (const std::string& Name : Lists.DeviceNames(TCapDeviceList::AudioCompressors, true))
        Out << "audio-compressor\t" << Name << '\n';
    return 0;
}

TOutputSettings JobSettings(TMediaOutputFormat Format) {
    TOutputSettings Settings;
    Settings.OutputFormat = Format;
    Settings.Video = DefaultVideoFormat;
    Settings.Audio = DefaultAudioFormat;
    Settings.CompressionValue = 75;
    return Settings;
}

std::string Absolute(const std::string& File) {
    std::error_code Error;
    std::filesystem::path Path = std::filesystem::absolute(File, Error);
    return Error ? File : Path.lexically_normal().string();
}

int Record(const TCaptureJob& Job, TCaptureDeviceLists& Lists, std::ostream& Out, std::ostream& Err) {
    auto Kind = CaptureJobKind(Job.Kind, Job.File);
    if (!Kind) {
        std::string Name = Job.Kind.empty() ? std::filesystem::path(Job.File).extension().string() : Job.Kind;
        Err << FormatMessageText(GetText(TTextSlot::CaptureJobUnknownKind), Name) << '\n';
        return 1;
    }
    if (Job.VideoDevice.empty() && Job.AudioDevice.empty()) {
        Err << GetText(TTextSlot::CaptureJobNothingToRecord) << '\n';
        return 1;
    }
    std::string File = Absolute(Job.File);
    std::string Folder = std::filesystem::path(File).parent_path().string();
    std::string Devices = Job.AudioDevice.empty() ? "" : Job.AudioDevice + "\n" + Job.AudioPin;
    TMessageQueue Messages;
    std::string Failure;
    TCaptureGraphObject Graph(Lists, Devices, false, Folder, JobSettings(*Kind), nullptr,
                              Job.VideoDevice, Messages);
    if (!Graph.Built()) {
        Err << Graph.LastError() << '\n';
        return 1;
    }
    Graph.OnGetFileName = [&](TCaptureGraphObject&, std::string& Name) { Name = File; };
    Graph.OnError = [&](TCaptureGraphObject&, const std::string& Error) { Failure = Error; };
    Graph.SetRecording(true);
    auto Length = std::chrono::milliseconds(std::llround(std::clamp(Job.Seconds, 0.0, 86400.0) * 1000));
    auto End = std::chrono::steady_clock::now() + Length;
    // A device lost on the way ends the recording early; what was recorded stays.
    Messages.WaitAndProcess([&] { return !Graph.Recording() || std::chrono::steady_clock::now() >= End; },
                            Length);
    if (Graph.Recording())
        Graph.SetRecording(false);
    if (!Failure.empty())
        Err << Failure << '\n';
    if (Graph.FinalFileName().empty())
        return 1;
    Out << FormatMessageText(GetText(TTextSlot::CaptureJobSaved), Graph.FinalFileName()) << '\n';
    return Failure.empty() ? 0 : 1;
}

int Snapshot(const TCaptureJob& Job, TCaptureDeviceLists& Lists, std::ostream& Out, std::ostream& Err) {
    TMessageQueue Messages;
    TCaptureGraphObject Graph(Lists, "", false, "", JobSettings(TMediaOutputFormat::WindowsMediaVideo),
                              nullptr, Job.VideoDevice, Messages);
    std::unique_ptr<TPixels> Shot = Graph.Snapshot();
    if (!Shot) {
        Err << FormatMessageText(GetText(TTextSlot::CaptureJobNoPicture), Job.VideoDevice) << '\n';
        return 1;
    }
    TVideoFrame Frame(Shot->Width(), Shot->Height());
    for (int32_t Y = 0; Y < Shot->Height(); ++Y)
        std::memcpy(Frame.Row(Y), Shot->Row(Y), size_t(Shot->Width()) * 4);
    std::string Extension = std::filesystem::path(Job.File).extension().string();
    if (SameTextAscii(Extension, ".bmp")) {
        WriteBmpFile(Job.File, Frame);
    } else {
        std::string Png = EncodePng(Frame);
        std::ofstream Stream(Job.File, std::ios::binary);
        Stream.write(Png.data(), std::streamsize(Png.size()));
        if (!Stream.flush()) {
            Err << FormatMessageText(GetText(TTextSlot::CannotWriteMedia), Job.File) << ": "
                << std::strerror(errno) << '\n';
            return 1;
        }
    }
    Out << FormatMessageText(GetText(TTextSlot::CaptureJobSaved), Job.File) << '\n';
    return 0;
}

int WriteDV(const TCaptureJob& Job, TCaptureDeviceLists& Lists, std::ostream& Out, std::ostream& Err) {
    TMessageQueue Messages;
    TDVWriteGraphObject Writer(Lists, Job.File, Messages);
    auto Refuse = [&](const std::string& Reason) {
        Err << Job.File << ": " << FormatMessageText(GetText(TTextSlot::CaptureJobNoDVWrite), Reason)
            << '\n';
        return 1;
    };
    if (Writer.Result() != TDVWriteResult::Built)
        return Refuse("code " + std::to_string(int(Writer.Result())) +
                      (Writer.LastError().empty() ? "" : ", " + Writer.LastError()));
    Writer.Preroll = Job.Preroll;
    bool Ended = false;
    std::string Error;
    Writer.OnEnd = [&](TDVWriteGraphObject&, const std::string& Text) {
        Ended = true;
        Error = Text;
    };
    if (!Writer.Start())
        return Refuse(Writer.LastError());
    // The whole file, its pre-roll and a margin.
    auto Bound = std::chrono::milliseconds(Writer.Duration() / 10'000) + Writer.Preroll + 10s;
    Messages.WaitAndProcess([&] { return Ended; }, Bound);
    if (!Ended)
        Writer.Stop();
    if (!Error.empty())
        return Refuse(Error);
    Out << FormatMessageText(GetText(TTextSlot::CaptureJobTapeWritten), Job.File) << '\n';
    return 0;
}

} // namespace

std::optional<TMediaOutputFormat> CaptureJobKind(const std::string& Kind, const std::string& File) {
    std::string Name = Kind;
    if (Name.empty()) {
        Name = std::filesystem::path(File).extension().string();
        if (!Name.empty())
            Name.erase(0, 1);
        if (SameTextAscii(Name, "avi"))
            Name = "dvavi"; // what a camcorder's footage is kept as
    }
    for (const TKindName& Entry : KindNames)
        if (SameTextAscii(Entry.Name, Name))
            return Entry.Format;
    return std::nullopt;
}

int RunCaptureJob(const TCaptureJob& Job, TCaptureDeviceLists& Lists, std::ostream& Out,
                  std::ostream& Err) {
    try {
        switch (Job.Action) {
        case TCaptureJob::TAction::List:
            return ListDevices(Lists, Out);
        case TCaptureJob::TAction::Record:
            return Record(Job, Lists, Out, Err);
        case TCaptureJob::TAction::Snapshot:
            return Snapshot(Job, Lists, Out, Err);
        case TCaptureJob::TAction::WriteDV:
            return WriteDV(Job, Lists, Out, Err);
        }
    } catch (const std::exception& Error) {
        Err << Error.what() << '\n';
    }
    return 1;
}
