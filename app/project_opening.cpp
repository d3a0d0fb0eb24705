#include "app/project_opening.h"

#include "app/file_history.h"
#include "app/main_window.h"
#include "app/main_window_reactions.h"
#include "core/text.h"
#include "core/text_table.h"
#include "platform/window/native_window.h"
#include "project/project.h"
#include "toolkit/widgets/widget_window.h"

#include <cstdio>
#include <exception>
#include <filesystem>

namespace {

// The project OpenProjectFile is opening; only the UI thread opens projects.
const TProject* Opening = nullptr;

class TOpeningGuard {
public:
    explicit TOpeningGuard(const TProject& Project) : FPrevious(Opening) { Opening = &Project; }
    ~TOpeningGuard() { Opening = FPrevious; }
    TOpeningGuard(const TOpeningGuard&) = delete;
    TOpeningGuard& operator=(const TOpeningGuard&) = delete;

private:
    const TProject* FPrevious;
};

} // namespace

bool IsOpeningProject(const TProject& Project) {
    return Opening == &Project;
}

std::string OpenProjectFile(TProject& Project, const std::string& FileName, TFailedOpen Failed) {
    TOpeningGuard Guard(Project);
    try {
        Project.LoadFromFile(FileName);
        Project.SetModified(false);
    } catch (const std::exception& Failure) {
        if (Failed == TFailedOpen::StartsUntitled)
            Project.New();
        TTextSlot Slot = Failed == TFailedOpen::StartsUntitled ? TTextSlot::ProjectNotOpened
                                                               : TTextSlot::ProjectNotOpenedKept;
        return FormatMessageText(FormatMessageText(GetText(Slot), FileName), Failure.what());
    }
    FileHistory().Add(FileName);
    return "";
}

void ReportProjectOpened(TMainWindow& Main, const std::string& Message) {
    if (!Message.empty()) {
        std::fprintf(stderr, "%s\n", Message.c_str());
        Main.ShowMessage(Message);
        return;
    }
    ShowLoadProblems(Main.Window().System(), Main.Project());
}

void ReceiveHandedOverFiles(TMainWindow& Main, const std::vector<std::string>& Files) {
    TNativeWindow& Window = Main.Window().Native();
    if (Window.State() == TWindowState::Minimized)
        Window.Restore();
    Window.Raise();
    Window.Activate();
    for (const std::string& FileName : Files) {
        std::error_code Error;
        if (!std::filesystem::is_regular_file(FileName, Error))
            continue;
        // The open project's changes are saved or given up first, as the
        // user answers; a cancelled question (or a failed save) keeps them
        // and leaves the file in the history.
        if (!Main.ConfirmSaveReporting()) {
            FileHistory().Add(FileName);
            Main.ShowMessage(FormatMessageText(GetText(TTextSlot::HandedOverNotOpened), FileName));
        } else {
            // A message left from an earlier file goes.
            Main.ShowMessage("");
            ReportProjectOpened(Main, OpenProjectFile(Main.Project(), FileName, TFailedOpen::KeepsProject));
        }
        return;
    }
}
