// Makes the data the program ships that the build can draw or write itself:
// the default desktop file, and the program icon in the sizes of the
// desktop's icon theme.
//
//   app_data_gen DESKTOP_FILE ICON_FOLDER SIZE...
// writes DESKTOP_FILE and ICON_FOLDER/SIZExSIZE/apps/quillmoor.png for each
// SIZE.

#include "app/dialogs/artwork.h"
#include "app/main_window.h"
#include "canvas/pixels.h"
#include "core/data.h"
#include "core/text_table.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>

namespace {

// The layout a user first sees: the main window centred at its designed
// size (no stored rectangle), not maximised, the player above the timeline
// in the centre dock; the skin at its usual size; snapping on; the history
// at its full length.
void WriteDesktop(const std::string& FileName) {
    TData Desktop;
    {
        TDataSection Root(Desktop, "Desktop");
        {
            TDataSection Appearance(Desktop, "Appearance");
            Desktop.WriteInteger("Skin.Size", 32);
            Desktop.WriteString("Skin.FileName", "");
        }
        {
            TDataSection Main(Desktop, "Main");
            Desktop.WriteBool("IsMaximized", false);
            TDataSection Alt(Desktop, "AltLayout");
            Desktop.WriteBool("IsMaximized", true);
        }
        TMainDock::WriteDefaultLayout(Desktop, TMainWindow::DesignWidth, TMainWindow::DesignHeight);
    }
    {
        TDataSection Edit(Desktop, "Edit");
        Desktop.WriteBool("IsSnapToGrid", true);
        Desktop.WriteBool("IsSnapToObject", true);
    }
    {
        TDataSection History(Desktop, "FileHistory");
        Desktop.WriteInteger("MaxCount", 9);
    }
    std::filesystem::create_directories(std::filesystem::path(FileName).parent_path());
    Desktop.SaveToFile(FileName);
}

void WriteIcon(const std::string& Folder, int32_t Size) {
    std::string Name = std::to_string(Size) + "x" + std::to_string(Size);
    std::filesystem::path Path = std::filesystem::path(Folder) / Name / "apps";
    std::filesystem::create_directories(Path);
    TPixels Icon(Size, Size);
    PaintProgramIcon(Icon);
    Icon.SaveToFile((Path / (GetText(TTextSlot::ProgramFolderName) + ".png")).string());
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: app_data_gen DESKTOP_FILE ICON_FOLDER SIZE...\n");
        return 2;
    }
    try {
        RestoreTextTable();
        WriteDesktop(argv[1]);
        for (int Index = 3; Index < argc; ++Index)
            WriteIcon(argv[2], std::atoi(argv[Index]));
    } catch (const std::exception& Failure) {
        std::fprintf(stderr, "app_data_gen: %s\n", Failure.what());
        return 1;
    }
    return 0;
}
