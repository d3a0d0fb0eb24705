#include "project/media_paths.h"

#include "core/file_io.h"
#include "core/paths.h"

#include <filesystem>

#include <utility>

TMediaFolders& MediaFolders() {
    static TMediaFolders Folders;
    return Folders;
}

namespace {

// Replaces a folder prefix by a macro; an unset folder matches nothing.
bool ReplaceFolder(std::string& Name, const std::string& Folder, std::string_view Macro) {
    return !Folder.empty() && ReplacePathPrefix(Name, IncludeTrailingSlash(Folder), Macro);
}

} // namespace

std::string StoredMediaFileName(std::string_view FileName, const TMediaFolders& Folders) {
    std::string Name(FileName);
    const std::pair<const std::string*, std::string_view> Macros[] = {
        {&Folders.CommonVideo, "<Common Video>\\"},
        {&Folders.CommonAudio, "<Common Audio>\\"},
        {&Folders.UserVideo, "<My Video>\\"},
        {&Folders.UserAudio, "<My Audio>\\"},
    };
    for (const auto& [Folder, Macro] : Macros)
        if (ReplaceFolder(Name, *Folder, Macro))
            return Name;
    return FromApplicationPath(Name);
}

std::string ResolvedMediaFileName(std::string_view Stored, const TMediaFolders& Folders) {
    std::string Name(Stored);
    const std::pair<std::string_view, const std::string*> Macros[] = {
        {"<Common Audio>\\", &Folders.CommonAudio}, {"<Common Video>\\", &Folders.CommonVideo},
        {"<My Audio>\\", &Folders.UserAudio},       {"<My Video>\\", &Folders.UserVideo},
        {"<Common Sounds>\\", &Folders.CommonAudio}, {"<Common Clips>\\", &Folders.CommonVideo},
        {"<My Sounds>\\", &Folders.UserAudio},      {"<My Clips>\\", &Folders.UserVideo},
    };
    for (const auto& [Macro, Folder] : Macros) {
        if (ReplacePathPrefix(Name, Macro, IncludeTrailingSlash(*Folder)))
            return NormalizeSeparators(Name);
    }
    // Names stored on systems with "\" separators are read with "/".
    Name = NormalizeSeparators(Name);
    return ToApplicationPath(Name);
}

std::string AbsoluteMediaFileName(std::string_view FileName) {
    if (FileName.empty())
        return std::string(FileName);
    std::filesystem::path Path{std::string(FileName)};
    if (Path.is_absolute())
        return Path.lexically_normal().string();
    std::error_code Error;
    std::filesystem::path Absolute = std::filesystem::absolute(Path, Error);
    return Error ? std::string(FileName) : Absolute.lexically_normal().string();
}

namespace {

thread_local std::string ProjectFolderWhileLoading;

bool IsFile(const std::string& Name) {
    return !Name.empty() && QueryFileStatus(Name).IsRegular;
}

bool HasFolderMacro(std::string_view Stored) {
    return !Stored.empty() && Stored.front() == '<' && Stored.find(">\\") != std::string_view::npos;
}

} // namespace

std::string LocatedMediaFileName(std::string_view Stored, const TMediaFolders& Folders,
                                 const std::string& ProjectFolder) {
    std::string Resolved = ResolvedMediaFileName(Stored, Folders);
    if (ProjectFolder.empty() || Stored.empty() || IsFile(Resolved))
        return Resolved;
    std::filesystem::path Folder(ProjectFolder);
    std::filesystem::path Name(NormalizeSeparators(Stored));
    if (HasFolderMacro(Stored)) {
        std::string Rest(Stored.substr(Stored.find(">\\") + 2));
        Name = std::filesystem::path(NormalizeSeparators(Rest));
    }
    if (Name.is_relative()) {
        std::string Beside = (Folder / Name).lexically_normal().string();
        if (IsFile(Beside))
            return Beside;
    }
    if (Name.has_filename()) {
        std::string ByName = (Folder / Name.filename()).lexically_normal().string();
        if (IsFile(ByName))
            return ByName;
    }
    return Resolved;
}

const std::string& LoadingProjectFolder() {
    return ProjectFolderWhileLoading;
}

TLoadingProjectFolder::TLoadingProjectFolder(const std::string& ProjectFileName)
    : FOld(ProjectFolderWhileLoading) {
    std::filesystem::path Folder =
        std::filesystem::path(AbsoluteMediaFileName(ProjectFileName)).parent_path();
    ProjectFolderWhileLoading = Folder.string();
}

TLoadingProjectFolder::~TLoadingProjectFolder() {
    ProjectFolderWhileLoading = FOld;
}
