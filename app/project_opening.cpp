#include "app/project_opening.h"

#include "app/file_history.h"
#include "app/main_window.h"
#include "platform/window/native_window.h"
#include "core/text.h"
#include "core/text_table.h"
#include "project/project.h"
#include "toolkit/widget_window.h"

#include <exception>
#include <filesystem>

std::string OpenProjectFile(TProject& Project, const std::string& FileName) {
    try {
        Project.LoadFromFile(FileName);
        Project.SetModified(false);
    } catch (const std::exception& Failure) {
        Project.New();
        std::string Message = FormatMessageText(GetText(TTextSlot::ProjectNotOpened), FileName);
        return FormatMessageText(Message, Failure.what());
    }
    FileHistory().Add(FileName);
    return "";
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
        if (Main.Project().Modified()) {
            FileHistory().Add(FileName);
            Main.ShowMessage(FormatMessageText(GetText(TTextSlot::HandedOverNotOpened), FileName));
        } else {
            std::string Message = OpenProjectFile(Main.Project(), FileName);
            Main.ShowMessage(Message);
        }
        return;
    }
}
