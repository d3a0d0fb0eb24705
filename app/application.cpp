#include "app/application.h"

#include "app/command_line.h"
#include "app/command_line_render.h"
#include "app/demo_project.h"
#include "core/ref_object.h"
#include "core/text.h"
#include "core/text_table.h"
#include "project/project.h"
#include "project/track.h"
#include "render/render.h"

#include <cstdio>
#include <filesystem>
#include <exception>

namespace {

constexpr int ExitUsage = 2;

std::string DemoFolderName() {
    return GetText(TTextSlot::DemoFolderName);
}

void PrintUsage(std::FILE* Out) {
    std::fprintf(Out, "%s\n%s\n", GetText(TTextSlot::UsageText).c_str(),
                 GetText(TTextSlot::RenderUsageText).c_str());
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

} // namespace

int RunApplication(const std::vector<std::string>& Arguments) {
    RestoreTextTable();
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
    if (CommandLine.Render) {
        if (CommandLine.Files.size() != 1)
            return RefuseCommandLine(GetText(TTextSlot::RenderNeedsProject));
        return RunCommandLineRender(CommandLine.Files[0],
                                    {CommandLine.RenderFile, CommandLine.RenderKind});
    }
    if (!CommandLine.RenderKind.empty())
        return RefuseCommandLine(GetText(TTextSlot::KindNeedsRender));
    if (CommandLine.Files.size() > 1) {
        PrintUsage(stderr);
        return ExitUsage;
    }
    // Without a file the program shows what it can do: it makes a demo
    // project with media of its own and renders it.
    if (CommandLine.Files.empty())
        return RunDemo(DemoFolderName());
    return OpenProject(CommandLine.Files[0]);
}
