#include "app/command_line_render.h"

#include "app/text_progress_bar.h"
#include "core/file_io.h"
#include "core/ref_object.h"
#include "core/text.h"
#include "core/text_table.h"
#include "platform/media/media_probe.h"
#include "platform/media/media_writer.h"
#include "platform/message_queue.h"
#include "project/file_clip.h"
#include "project/project.h"
#include "project/track.h"
#include "render/output_settings.h"
#include "render/render.h"
#include "render/render_job.h"
#include "render/timeline.h"

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <set>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t Interrupted = 0;

extern "C" void OnInterrupt(int) {
    Interrupted = 1;
}

// Ctrl+C cancels the render (so no partial file is left) instead of ending
// the process, while the object lives.
class TInterruptGuard {
public:
    TInterruptGuard() {
        Interrupted = 0;
        struct sigaction Action {};
        Action.sa_handler = OnInterrupt;
        sigemptyset(&Action.sa_mask);
        ::sigaction(SIGINT, &Action, &FOld);
    }
    ~TInterruptGuard() { ::sigaction(SIGINT, &FOld, nullptr); }
    TInterruptGuard(const TInterruptGuard&) = delete;
    TInterruptGuard& operator=(const TInterruptGuard&) = delete;

private:
    struct sigaction FOld {};
};

int Fail(const std::string& Message) {
    std::fprintf(stderr, "%s\n", Message.c_str());
    return RenderExitFailed;
}

std::string KindList() {
    std::string List;
    for (int32_t I = 0; I < RenderKindCount; ++I) {
        if (I > 0)
            List += ", ";
        List += RenderKindName(static_cast<TRenderKind>(I));
    }
    return List;
}

std::string DefaultOutputFile(const TProject& Project, TMediaOutputFormat Format) {
    std::filesystem::path Path = Project.FileName().empty()
                                     ? std::filesystem::path(GetText(TTextSlot::UntitledProject))
                                     : std::filesystem::path(Project.FileName());
    Path.replace_extension(OutputFormatExtension(Format));
    return Path.string();
}

bool FolderIsWritable(const std::string& FileName) {
    std::filesystem::path Folder = std::filesystem::path(FileName).parent_path();
    if (Folder.empty())
        Folder = ".";
    std::error_code Error;
    return std::filesystem::is_directory(Folder, Error) && ::access(Folder.c_str(), W_OK) == 0;
}

bool IsProjectFile(const std::string& FileName, const TProject& Project) {
    std::error_code Error;
    return !Project.FileName().empty() &&
           std::filesystem::equivalent(FileName, Project.FileName(), Error);
}

bool SameExtension(const std::string& FileName, TMediaOutputFormat Format) {
    std::string Extension = std::filesystem::path(FileName).extension().string();
    return SameTextAscii(Extension, std::string(".") + OutputFormatExtension(Format));
}

// Why a clip's media could not be opened, in the user's words.
std::string UnavailableReason(const std::string& FileName) {
    if (!QueryFileStatus(FileName).IsRegular)
        return GetText(TTextSlot::MediaNotFound);
    TMediaInfo Info;
    try {
        Info = ProbeMedia(FileName);
    } catch (const std::exception&) {
        return GetText(TTextSlot::MediaNotAMediaFile);
    }
    std::string Codecs;
    for (const TMediaStreamInfo& Stream : Info.Streams)
        if (!Stream.SubType.empty())
            Codecs += (Codecs.empty() ? "" : ", ") + Stream.SubType;
    if (Codecs.empty())
        return GetText(TTextSlot::MediaNotAMediaFile);
    return FormatMessageText(GetText(TTextSlot::MediaUnsupportedCodec), Codecs);
}

// One line for each file whose clips the render leaves out, with its reason.
std::string UnavailableMediaList(const TProject& Project) {
    std::set<std::string> Seen;
    std::string List;
    for (int32_t T = 0; T < Project.TrackCount(); ++T) {
        TTrack* Track = Project.Track(T);
        for (int32_t I = 0; I < Track->ItemCount(); ++I) {
            auto* Clip = dynamic_cast<TFileClip*>(Track->Item(I));
            if (!Clip || Clip->IsAvailable() || !Seen.insert(Clip->FileName()).second)
                continue;
            List += "  " + FormatMessageText(
                FormatMessageText(GetText(TTextSlot::UnavailableMediaLine), Clip->FileName()),
                UnavailableReason(Clip->FileName()));
            List += "\n";
        }
    }
    return List;
}

int32_t Percent(TVideoTime Position, TVideoTime Duration) {
    if (Duration <= 0)
        return 0;
    return static_cast<int32_t>(std::lround(100.0 * double(Position) / double(Duration)));
}

} // namespace

int RenderProject(TProject& Project, TRender& Render, const TRenderRequest& Request) {
    if (!Request.Kind.empty()) {
        TRenderKind Kind;
        if (!FindRenderKind(Request.Kind, Kind))
            return Fail(FormatMessageText(GetText(TTextSlot::UnknownRenderKind), Request.Kind) +
                        "\n" + FormatMessageText(GetText(TTextSlot::RenderKindList), KindList()));
        Render.SetKind(Kind);
    } else if (std::string Extension = std::filesystem::path(Request.OutputFile).extension().string();
               !Extension.empty() && !IsProjectFile(Request.OutputFile, Project)) {
        // No kind named: the output's name says what to write (a project
        // file named as the output is refused below, whatever its name).
        TRenderKind Kind;
        if (!RenderKindForExtension(Extension, Render.Kind(), Kind))
            return Fail(FormatMessageText(
                FormatMessageText(GetText(TTextSlot::UnknownRenderExtension), Extension),
                RenderExtensionList()));
        Render.SetKind(Kind);
    }
    Render.Refresh();
    std::string KindName(RenderKindName(Render.Kind()));
    TOutputSettings Settings = Render.OutputSettings();
    std::string OutputFile = Request.OutputFile.empty()
                                 ? DefaultOutputFile(Project, Settings.OutputFormat)
                                 : Request.OutputFile;
    if (IsProjectFile(OutputFile, Project))
        return Fail(FormatMessageText(GetText(TTextSlot::RenderOverProject), OutputFile));
    if (!FolderIsWritable(OutputFile))
        return Fail(FormatMessageText(GetText(TTextSlot::CannotWriteRenderFolder), OutputFile));
    // Missing or unreadable media do not stop a render, but the user hears
    // of each file before it starts, and again when nothing else is left.
    std::string Unavailable = UnavailableMediaList(Project);
    if (!Render.CanRender()) {
        std::string Message = FormatMessageText(GetText(RenderKindIsAudioOnly(Render.Kind())
                                                            ? TTextSlot::NoAudibleClipsToRender
                                                            : TTextSlot::NoVideoClipsToRender),
                                                KindName);
        if (!Unavailable.empty())
            Message += "\n" + GetText(TTextSlot::UnavailableMediaCaption) + "\n" +
                       Unavailable.substr(0, Unavailable.size() - 1);
        return Fail(Message);
    }
    if (!Unavailable.empty())
        std::fprintf(stderr, "%s\n%s", GetText(TTextSlot::UnavailableMediaWarning).c_str(),
                     Unavailable.c_str());
    if (!SameExtension(OutputFile, Settings.OutputFormat))
        std::fprintf(stderr, "%s\n",
                     FormatMessageText(
                         FormatMessageText(GetText(TTextSlot::RenderExtensionNote), OutputFile),
                         OutputFormatExtension(Settings.OutputFormat))
                         .c_str());

    TRenderJob Job(Project.Timeline());
    bool Ended = false;
    TRenderResult Result;
    Job.OnRenderEnded = [&](const TRenderResult& End) {
        Ended = true;
        Result = End;
    };
    TInterruptGuard Interrupt;
    try {
        Job.Render(OutputFile, Settings);
    } catch (const std::exception& Error) {
        return Fail(Error.what());
    }
    {
        TTextProgressBar Bar(stderr, GetText(TTextSlot::RenderProgressCaption).c_str());
        while (!Ended) {
            UiMessages().WaitAndProcess([&] { return Ended; }, std::chrono::milliseconds(250));
            if (Interrupted && !Ended)
                Job.Stop();
            if (!Ended)
                Bar.Show(Percent(Job.Position(), Job.Duration()));
        }
        if (Result.Outcome == TRenderOutcome::Completed)
            Bar.Show(100);
    }
    switch (Result.Outcome) {
    case TRenderOutcome::Completed:
        std::printf("%s\n",
                    FormatMessageText(
                        FormatMessageText(GetText(TTextSlot::RenderWritten), OutputFile), KindName)
                        .c_str());
        return RenderExitWritten;
    case TRenderOutcome::Cancelled:
        Fail(Result.Error);
        return Interrupted ? RenderExitInterrupted : RenderExitFailed;
    case TRenderOutcome::Failed:
        break;
    }
    return Fail(Result.Error);
}

int RunCommandLineRender(const std::string& ProjectFile, const TRenderRequest& Request) {
    TRefPtr<TProject> Project = MakeRef<TProject>();
    // The driver goes first: it unhooks itself from the project.
    TRender Render(Project->Timeline());
    Render.BindProjectHooks(Project->LoadRendering, Project->SaveRendering);
    try {
        Project->LoadFromFile(ProjectFile);
    } catch (const std::exception& Error) {
        return Fail(Error.what());
    }
    for (const std::string& Problem : Project->LoadProblems())
        std::fprintf(stderr, "%s\n", Problem.c_str());
    return RenderProject(*Project, Render, Request);
}
