#pragma once

#include "platform/clipboard.h"
#include "platform/window/window_system.h"

#include <cstdint>
#include <string>

class TClipInfos;
class TObject;
class TProject;
struct TCatalogFolders;
struct TMediaFolders;
enum class TClipInfoChangeFlags : uint32_t;

// What the running program connects around its project besides the main
// window, for as long as it lives:
// - the system clipboard becomes the application's clipboard, so that copy,
//   cut and paste reach other programs and other instances; it hears of
//   every change of the clipboard, so that whether it holds a document is
//   asked again only then;
// - the media catalogue watches the media folders, and each change it
//   announces reaches the project (pictures drawn again, clips whose file
//   came back available again);
// - the effects, transitions and titles catalogues take their pictures from
//   the images folder and keep what they render in the user's cache.
//
//   TApplicationServices Services(System, *Project, ClipInfos());
//   Services.WatchMediaFolders(MediaFolders());
//   TMainWindow Main(System, *Project);
class TApplicationServices {
public:
    TApplicationServices(TWindowSystem& System, TProject& Project, TClipInfos& Infos);
    // Puts back the clipboard and the event filter found, and lets go of
    // the catalogue's notifier.
    ~TApplicationServices();
    TApplicationServices(const TApplicationServices&) = delete;
    TApplicationServices& operator=(const TApplicationServices&) = delete;

    void WatchMediaFolders(const TMediaFolders& Folders);

    TClipboard& Clipboard() { return FClipboard; }

private:
    void ClipInfosChanged(TObject* Sender, TClipInfoChangeFlags Flags);

    TWindowSystem& FSystem;
    TProject& FProject;
    TClipInfos& FInfos;
    TWindowClipboard FClipboard;
    TEventFilterRegistration FClipboardFilter;
};

// The folder where pictures rendered at run time are kept:
// $XDG_CACHE_HOME/<program>/, else ~/.cache/<program>/; empty when neither
// is known.
std::string UserCacheFolder();

// The catalogues' folders for an images folder.
TCatalogFolders ApplicationCatalogFolders(const std::string& ImagesFolder);
