#include "app/application.h"

#include "app/application_services.h"
#include "app/command_line.h"
#include "app/command_line_capture.h"
#include "app/command_line_render.h"
#include "app/demo_project.h"
#include "app/desktop_file.h"
#include "app/dialogs/splash_form.h"
#include "app/file_history.h"
#include "app/folders.h"
#include "app/instance_handover.h"
#include "app/main_window.h"
#include "app/main_window_reactions.h"
#include "app/project_opening.h"
#include "app/startup_probe.h"
#include "core/paths.h"
#include "core/ref_object.h"
#include "core/text.h"
#include "core/text_table.h"
#include "platform/instance_channel.h"
#include "platform/media/media_libraries.h"
#include "platform/message_queue.h"
#include "platform/window/window_system.h"
#include "project/catalogs.h"
#include "project/clip_infos.h"
#include "project/media_paths.h"
#include "project/project.h"
#include "project/track.h"
#include "render/render.h"
#include "toolkit/skin/skin.h"
#include "toolkit/widgets/widget_window.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <optional>

namespace {

constexpr int ExitUsage = 2;

std::string DemoFolderName() {
    return GetText(TTextSlot::DemoFolderName);
}

void PrintUsage(std::FILE* Out) {
    std::fprintf(Out, "%s\n%s\n%s\n", GetText(TTextSlot::UsageText).c_str(),
                 GetText(TTextSlot::RenderUsageText).c_str(),
                 GetText(TTextSlot::CaptureUsageText).c_str());
}

int RefuseCommandLine(const std::string& Message) {
    std::fprintf(stderr, "%s\n", Message.c_str());
    PrintUsage(stderr);
    return ExitUsage;
}

// Opens FileName as the project, the way the main window will: the file is
// read, never written. A name that does not exist starts an untitled
// project; a file that cannot be read is reported and left as it is.
int OpenProject(const std::string& FileName) {
    TRefPtr<TProject> Project = MakeRef<TProject>();
    // The driver goes first: it unhooks itself from the project.
    TRender Render(Project->Timeline());
    Render.BindProjectHooks(Project->LoadRendering, Project->SaveRendering);
    std::error_code Error;
    if (!std::filesystem::exists(FileName, Error)) {
        Project->New();
        std::printf("%s\n",
                    FormatMessageText(GetText(TTextSlot::ProjectStartsUntitled), FileName).c_str());
        return 0;
    }
    try {
        Project->LoadFromFile(FileName);
    } catch (const std::exception& Failure) {
        std::fprintf(stderr, "%s\n", Failure.what());
        return 1;
    }
    int64_t Clips = 0;
    for (int32_t Index = 0; Index < Project->TrackCount(); ++Index)
        Clips += Project->Track(Index)->ItemCount();
    // The file name goes in last, so that a "%" in it stays as it is.
    std::string Message = FormatMessageText(GetText(TTextSlot::ProjectOpened),
                                            std::to_string(Project->TrackCount()));
    Message = FormatMessageText(Message, std::to_string(Clips));
    std::printf("%s\n", FormatMessageText(Message, FileName).c_str());
    return 0;
}

bool HasDisplay() {
    for (const char* Name : {"DISPLAY", "WAYLAND_DISPLAY"})
        if (const char* Value = std::getenv(Name); Value && *Value)
            return true;
    return false;
}

// The name of the running instance's socket: the program's and the
// display's, so that each display (a desktop session, a virtual display of
// a test) has an instance of its own.
std::string InstanceName() {
    std::string Display;
    for (const char* Name : {"DISPLAY", "WAYLAND_DISPLAY"})
        if (const char* Value = std::getenv(Name); Value && *Value) {
            Display = Value;
            break;
        }
    std::string Name = GetText(TTextSlot::ProgramFolderName) + "-";
    for (char Character : Display)
        Name += std::isalnum(uint8_t(Character)) || Character == '.' || Character == '-' ? Character : '_';
    return Name;
}

// The project file a file argument names: the argument, else the argument
// under the documents folder; empty when neither exists.
std::string FindProjectFile(const std::string& Argument, const TFolders& Folders) {
    std::error_code Error;
    if (std::filesystem::exists(Argument, Error))
        return Argument;
    if (!IsAbsolutePath(Argument) && std::filesystem::exists(Folders.Documents + Argument, Error))
        return Folders.Documents + Argument;
    return "";
}

// The program with its window: the project and its render driver, the
// main window on the desktop file, the file argument opened read-only, the
// loop, then the exit sequence (players let go of the timeline before the
// window stores the desktop and goes, the project last).
int RunWindowed(TWindowSystem& System, const TCommandLine& CommandLine, const std::string& SocketPath) {
    TFolderEnvironment Environment = CurrentFolderEnvironment();
    PrepareUserConfigFolder(Environment);
    TFolders Folders = ComputeFolders(Environment, CommandLine);
    MediaFolders() = {Folders.CommonAudio, Folders.CommonVideo, Folders.UserAudio, Folders.UserVideo};
    SetCatalogFolders(ApplicationCatalogFolders(Folders.Images));
    // The previewers take their sample pictures from the same folder (an
    // installed program's lies under share/, not beside the executable).
    Skins().SetImagesFolder(Folders.Images);
    ProbeStartupStage("folders");

    TRefPtr<TProject> Project = MakeRef<TProject>();
    // The driver goes after the window: it unhooks itself from the project.
    TRender Render(Project->Timeline());
    Render.BindProjectHooks(Project->LoadRendering, Project->SaveRendering);
    Project->New();
    ProbeStartupStage("project");
    // The clipboard and the catalogue outlive the window that uses them.
    TApplicationServices Services(System, *Project, ClipInfos());
    Services.WatchMediaFolders(MediaFolders());
    ProbeStartupStage("services");

    TMainWindow Main(System, *Project);
    Main.DesktopFile().SetFileHistory(&FileHistory());
    Main.Saving().SetDefaultFolder(NewProjectFolder(Folders, Environment));
    TMainWindowReactions Reactions(Main, Folders.Help);
    ProbeStartupStage("main-window");
    std::unique_ptr<TSplashForm> Splash;
    if (!CommandLine.NoSplashScreen) {
        Splash = std::make_unique<TSplashForm>(System, &Main.Window().Native());
        System.ProcessEvents();
    }
    // From here on a second start hands its file names to this instance.
    std::unique_ptr<TRunningInstance> Instance;
    if (!CommandLine.MultipleInstances && !SocketPath.empty())
        Instance = std::make_unique<TRunningInstance>(SocketPath, System.Messages(),
                                                      [&Main](std::vector<std::string> Files) {
                                                          ReceiveHandedOverFiles(Main, Files);
                                                      });
    std::string Desktop = Folders.Config + GetText(TTextSlot::DesktopFileName);
    std::error_code Error;
    // The program's own data folder is never written unless the user chose
    // it as the configuration folder: without a folder of the user's, the
    // layout of this session is not kept.
    const bool ShippedOnly = IsSameFile(Folders.Config, IncludeTrailingSlash(Folders.Application + GetText(TTextSlot::ConfigSubFolder))) &&
                             !CommandLine.GotoExeDir && CommandLine.ConfigFolder.empty();
    bool CanStore = std::filesystem::is_directory(Folders.Config, Error) && !ShippedOnly;
    std::string Message;
    // The desktop file goes first: it brings the file history that the
    // opened project then joins.
    Main.Start(ChooseDesktopFile(Folders, CommandLine), CanStore ? Desktop : "");
    if (ShippedOnly)
        Main.ShowMessage(GetText(TTextSlot::LayoutNotKept));
    ProbeStartupStage("shown");
    if (!CommandLine.Files.empty()) {
        // Only the first file argument is opened.
        std::string FileName = FindProjectFile(CommandLine.Files[0], Folders);
        if (!FileName.empty())
            Message = OpenProjectFile(*Project, FileName);
    }
    System.ProcessEvents();
    ProbeStartupStage("events");
    Splash.reset();
    // After the splash has gone, so that a dialog is not hidden behind it.
    ReportProjectOpened(Main, Message);
    ProbeFirstPaint(System, Main);
    // The window needs none of the media libraries: they load on a thread
    // of their own from the first turn of the loop, after the first paint,
    // so that the first media file opened need not wait for them.
    std::optional<TMediaLibraryPreload> Preload;
    TTimerId PreloadTimer = System.StartTimer(std::chrono::milliseconds(0), TTimerRepeat::Once,
                                              [&Preload] { Preload.emplace(); });
    System.RunLoop([&] { return Main.IsClosed(); });
    System.StopTimer(PreloadTimer);
    Instance.reset();
    Main.ReleasePlayers();
    return 0;
}

// --demo: makes the demo and, where the window will open, names its
// project as the file to open (no exit code: the program goes on). With
// --render, or without a display, it renders the demo instead and says how
// to open it; the exit code ends the program.
std::optional<int> PrepareDemo(TCommandLine& CommandLine) {
    if (!CommandLine.Files.empty())
        return RefuseCommandLine(GetText(TTextSlot::DemoTakesNoFile));
    const bool Window = HasDisplay() && !CommandLine.Render;
    int Result = RunDemo(DemoFolderName(), Window ? TDemoJob::MakeOnly : TDemoJob::MakeAndRender,
                         {CommandLine.RenderFile, CommandLine.RenderKind});
    if (Result != 0)
        return Result;
    const std::string ProjectFile = DemoProjectFile(DemoFolderName());
    if (!Window) {
        std::printf("%s\n", FormatMessageText(GetText(TTextSlot::DemoOpenHint), ProjectFile).c_str());
        return 0;
    }
    CommandLine.Files.push_back(ProjectFile);
    return std::nullopt;
}

} // namespace

int RunApplication(const std::vector<std::string>& Arguments) {
    ProbeStartupStage("main");
    RestoreTextTable();
    ProbeStartupStage("texts");
    TCommandLine CommandLine;
    try {
        CommandLine = ParseCommandLine(Arguments);
    } catch (const ECommandLineError& Error) {
        return RefuseCommandLine(Error.what());
    }
    if (CommandLine.Help) {
        PrintUsage(stdout);
        return 0;
    }
    if (CommandLine.Version) {
        std::printf("Quillmoor %s\n", QM_VERSION);
        return 0;
    }
    if (CommandLine.Demo)
        if (std::optional<int> Done = PrepareDemo(CommandLine))
            return *Done;
    if (IsCaptureCommand(CommandLine))
        return RunCommandLineCapture(CommandLine);
    if (CommandLine.Render) {
        if (CommandLine.Files.size() != 1)
            return RefuseCommandLine(GetText(TTextSlot::RenderNeedsProject));
        return RunCommandLineRender(CommandLine.Files[0],
                                    {CommandLine.RenderFile, CommandLine.RenderKind});
    }
    if (!CommandLine.RenderKind.empty())
        return RefuseCommandLine(GetText(TTextSlot::KindNeedsRender));
    if (HasDisplay()) {
        // One instance runs on a display: a second start hands its files
        // to it and ends.
        std::string SocketPath;
        if (!CommandLine.MultipleInstances) {
            SocketPath = InstanceSocketPath(InstanceName());
            THandOverResult HandOver = SocketPath.empty()
                                           ? THandOverResult::NoInstance
                                           : HandOverToRunningInstance(SocketPath, FullHandOverPaths(CommandLine.Files));
            if (HandOver == THandOverResult::HandedOver)
                return 0;
            if (HandOver == THandOverResult::Foreign)
                std::fprintf(stderr, "%s\n",
                             FormatMessageText(GetText(TTextSlot::HandOverForeignListener), SocketPath).c_str());
        }
        std::unique_ptr<TWindowSystem> System;
        try {
            System = CreateSdlWindowSystem(UiMessages());
            ProbeStartupStage("window-system");
        } catch (const std::exception& Failure) {
            std::fprintf(stderr, "%s\n",
                         FormatMessageText(GetText(TTextSlot::WindowSystemFailed), Failure.what()).c_str());
        }
        if (System)
            return RunWindowed(*System, CommandLine, SocketPath);
    }
    // Without a display the program does its console work: it says what the
    // project file holds, or (without a file) makes and renders the demo.
    if (CommandLine.Files.size() > 1) {
        PrintUsage(stderr);
        return ExitUsage;
    }
    if (CommandLine.Files.empty())
        return RunDemo(DemoFolderName());
    return OpenProject(CommandLine.Files[0]);
}
