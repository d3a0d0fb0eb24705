#include "app/application.h"

#include "app/command_line.h"
#include "app/command_line_render.h"
#include "app/demo_project.h"
#include "core/ref_object.h"
#include "core/text.h"
#include "core/text_table.h"
#include "project/project.h"
#include "render/render.h"

#include <cstdio>
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

int CreateProject(const std::string& FileName) {
    TRefPtr<TProject> Project = MakeRef<TProject>();
    // The driver goes first: it unhooks itself from the project.
    TRender Render(Project->Timeline());
    Render.BindProjectHooks(Project->LoadRendering, Project->SaveRendering);
    try {
        Project->New();
        Project->SaveToFile(FileName);
    } catch (const std::exception& Error) {
        std::fprintf(stderr, "%s\n", Error.what());
        return 1;
    }
    std::printf("%s\n", FormatMessageText(GetText(TTextSlot::ProjectSaved), FileName).c_str());
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
    return CreateProject(CommandLine.Files[0]);
}
