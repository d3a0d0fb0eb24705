#include "app/folders.h"

#include "app/command_line.h"
#include "core/file_io.h"
#include "core/paths.h"
#include "core/text_table.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

bool IsFolder(const std::string& Path) {
    std::error_code Error;
    return !Path.empty() && fs::is_directory(Path, Error);
}

bool IsFile(const std::string& Path) {
    std::error_code Error;
    return !Path.empty() && fs::is_regular_file(Path, Error);
}

std::string Environment(const char* Name) {
    const char* Value = std::getenv(Name);
    return Value ? Value : "";
}

std::string Sub(const std::string& Folder, TTextSlot Name) {
    return IncludeTrailingSlash(Folder + GetText(Name));
}

// XDG_DOCUMENTS_DIR from the user-dirs file: a line such as
// XDG_DOCUMENTS_DIR="$HOME/Documents"; empty when the file does not say.
std::string XdgDocumentsFolder(const std::string& ConfigHome, const std::string& Home) {
    std::ifstream In(ConfigHome + "user-dirs.dirs");
    std::string Line;
    const std::string Key = "XDG_DOCUMENTS_DIR=";
    while (std::getline(In, Line)) {
        if (Line.compare(0, Key.size(), Key) != 0)
            continue;
        std::string Value = Line.substr(Key.size());
        if (Value.size() >= 2 && Value.front() == '"' && Value.back() == '"')
            Value = Value.substr(1, Value.size() - 2);
        if (Value.compare(0, 5, "$HOME") == 0)
            Value = Home + Value.substr(5);
        return IsAbsolutePath(Value) ? Value : "";
    }
    return "";
}

} // namespace

TFolderEnvironment CurrentFolderEnvironment() {
    TFolderEnvironment Result;
    std::error_code Error;
    fs::path Program = fs::read_symlink("/proc/self/exe", Error);
    fs::path Folder = Error ? fs::current_path(Error) : Program.parent_path();
    fs::path Installed = Folder.parent_path() / "share" / GetText(TTextSlot::ProgramFolderName);
    if (Folder.filename() == "bin" && fs::is_directory(Installed, Error))
        Folder = Installed;
    Result.Application = IncludeTrailingSlash(Folder.string());

    std::string Home = Environment("HOME");
    std::string ConfigHome = Environment("XDG_CONFIG_HOME");
    if (!IsAbsolutePath(ConfigHome))
        ConfigHome = Home.empty() ? "" : Home + "/.config";
    Result.ConfigHome = ConfigHome.empty() ? "" : IncludeTrailingSlash(ConfigHome);
    std::string Documents = XdgDocumentsFolder(Result.ConfigHome, Home);
    if (!IsFolder(Documents))
        Documents = Home;
    Result.DocumentsHome = Documents.empty() ? "" : IncludeTrailingSlash(Documents);
    return Result;
}

std::string UserConfigFolder(const TFolderEnvironment& Environment) {
    if (Environment.ConfigHome.empty())
        return "";
    return Sub(Environment.ConfigHome, TTextSlot::ProgramFolderName);
}

namespace {

// Whether Target is a copy of Shipped cut short, as a full disk leaves one:
// a regular file shorter than Shipped that is its beginning.
bool IsCutShortCopy(const std::string& Target, const std::string& Shipped) {
    TFileStatus Status = QueryFileStatus(Target);
    if (Status.Error != 0 || !Status.IsRegular || Status.Size >= int64_t(Shipped.size()))
        return false;
    std::string Old = ReadFileBytes(Target);
    return Shipped.compare(0, Old.size(), Old) == 0;
}

// Copies the shipped desktop file to Target whole or not at all: written
// beside and renamed, so that a full disk never leaves a file cut short. A
// copy cut short earlier is made again; any other file there is the user's
// and stays.
void SeedDesktopFile(const std::string& ShippedFile, const std::string& Target, bool Fresh) {
    try {
        TFileStatus Existing = QueryFileStatus(Target);
        const bool There = Existing.Error == 0;
        // A fresh folder is seeded; in a folder of the user's, only a copy
        // cut short is made again. The usual start (the user's file there
        // and at least as long as the shipped one) reads neither file.
        if (Fresh ? There : (!There || Existing.Size >= QueryFileStatus(ShippedFile).Size))
            return;
        std::string Shipped = ReadFileBytes(ShippedFile);
        if (!Fresh && !IsCutShortCopy(Target, Shipped))
            return;
        WriteFileAtomically(Target, Shipped);
    } catch (const std::exception&) {
        // No copy: the program starts in its default layout and stores it
        // at exit.
    }
}

} // namespace

bool PrepareUserConfigFolder(const TFolderEnvironment& Environment) {
    std::string Folder = UserConfigFolder(Environment);
    if (Folder.empty())
        return false;
    std::error_code Error;
    const bool Fresh = !IsFolder(Folder);
    if (Fresh) {
        fs::create_directories(Folder, Error);
        if (Error)
            return false;
    }
    std::string Shipped =
        Sub(Environment.Application, TTextSlot::ConfigSubFolder) + GetText(TTextSlot::DesktopFileName);
    if (IsFile(Shipped))
        SeedDesktopFile(Shipped, Folder + GetText(TTextSlot::DesktopFileName), Fresh);
    return true;
}

TFolders ComputeFolders(const TFolderEnvironment& Environment, const TCommandLine& CommandLine) {
    TFolders Result;
    const std::string& App = Environment.Application;
    Result.Application = App;
    Result.Help = Sub(App, TTextSlot::HelpSubFolder);
    Result.Images = Sub(App, TTextSlot::ImagesSubFolder);
    Result.Config = Sub(App, TTextSlot::ConfigSubFolder);
    Result.Documents = Sub(App, TTextSlot::DocumentsSubFolder);
    Result.CommonAudio = Sub(App, TTextSlot::CommonAudioSubFolder);
    Result.CommonVideo = Sub(App, TTextSlot::CommonVideoSubFolder);

    if (std::string User = UserConfigFolder(Environment); IsFolder(User))
        Result.Config = User;
    if (!Environment.DocumentsHome.empty())
        if (std::string User = Sub(Environment.DocumentsHome, TTextSlot::DocumentsSubFolder);
            IsFolder(User))
            Result.Documents = User;

    if (CommandLine.GotoExeDir) {
        Result.Documents = Sub(App, TTextSlot::DocumentsSubFolder);
        Result.Config = Sub(App, TTextSlot::ConfigSubFolder);
    }
    if (IsFolder(CommandLine.GotoFolder)) {
        std::string Folder = IncludeTrailingSlash(CommandLine.GotoFolder);
        if (std::string Audio = Sub(Folder, TTextSlot::CommonAudioSubFolder); IsFolder(Audio))
            Result.CommonAudio = Audio;
        if (std::string Video = Sub(Folder, TTextSlot::CommonVideoSubFolder); IsFolder(Video))
            Result.CommonVideo = Video;
        Result.Documents = Sub(Folder, TTextSlot::DocumentsSubFolder);
        Result.Config = Sub(Folder, TTextSlot::ConfigSubFolder);
    }
    if (IsFolder(CommandLine.ConfigFolder))
        Result.Config = IncludeTrailingSlash(CommandLine.ConfigFolder);

    Result.UserAudio = Sub(Result.Documents, TTextSlot::UserAudioSubFolder);
    Result.UserVideo = Sub(Result.Documents, TTextSlot::UserVideoSubFolder);
    return Result;
}

std::string NewProjectFolder(const TFolders& Folders, const TFolderEnvironment& Environment) {
    if (IsFolder(Folders.Documents) && ::access(Folders.Documents.c_str(), W_OK) == 0)
        return Folders.Documents;
    return Environment.DocumentsHome;
}

std::string ChooseDesktopFile(const TFolders& Folders, const TCommandLine& CommandLine) {
    const std::string& Path = CommandLine.ConfigFile;
    if (!Path.empty()) {
        if (IsFile(Path))
            return Path;
        if (IsFile(Folders.Config + Path))
            return Folders.Config + Path;
    }
    return Folders.Config + GetText(TTextSlot::DesktopFileName);
}
