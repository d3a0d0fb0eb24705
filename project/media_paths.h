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
