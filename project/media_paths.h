#pragma once

#include <string>
#include <string_view>

// The four media folders whose files a project stores with a macro prefix, so
// that a project moved to another machine or user finds its media again.
struct TMediaFolders {
    std::string CommonAudio;
    std::string CommonVideo;
    std::string UserAudio;
    std::string UserVideo;
};

// The application's folders; the shell fills them in at start-up.
TMediaFolders& MediaFolders();

// The form a media file name is stored in: "<Common Video>\" and the rest of
// the path for a file in the common video folder, and so on; otherwise
// relative to the application's directory when it lies under it.
std::string StoredMediaFileName(std::string_view FileName, const TMediaFolders& Folders);
// The reverse, also reading the older prefixes ("<My Clips>\" and others).
std::string ResolvedMediaFileName(std::string_view Stored, const TMediaFolders& Folders);

// A file name as a clip keeps it: a relative name (typed on the command line
// or returned by a dialog) is taken against the current folder, so that the
// project names the same file wherever it is later loaded from.
std::string AbsoluteMediaFileName(std::string_view FileName);

// The file a stored name stands for when a project in ProjectFolder is
// loaded: the resolved name when that file exists, else the file beside the
// project (the stored relative path from the project's folder, then the bare
// file name there), so that a project moved together with its media opens
// whole. Falls back to the resolved name when nothing is found.
std::string LocatedMediaFileName(std::string_view Stored, const TMediaFolders& Folders,
                                 const std::string& ProjectFolder);

// The folder of the project file being loaded on this thread, empty outside
// a load (pasting and undo have no file to look beside).
const std::string& LoadingProjectFolder();

// Names the folder of the project file being loaded while the object lives.
class TLoadingProjectFolder {
public:
    explicit TLoadingProjectFolder(const std::string& ProjectFileName);
    ~TLoadingProjectFolder();
    TLoadingProjectFolder(const TLoadingProjectFolder&) = delete;
    TLoadingProjectFolder& operator=(const TLoadingProjectFolder&) = delete;

private:
    std::string FOld;
};
