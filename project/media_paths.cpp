#include "project/media_paths.h"

#include "core/paths.h"

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
