#include "app/application_services.h"

#include "core/text_table.h"
#include "project/catalogs.h"
#include "project/clip_infos.h"
#include "project/media_paths.h"
#include "project/project.h"

#include <cstdlib>
#include <variant>

TApplicationServices::TApplicationServices(TWindowSystem& System, TProject& Project,
                                           TClipInfos& Infos)
    : FSystem(System), FProject(Project), FInfos(Infos), FClipboard(System) {
    SetApplicationClipboard(&FClipboard);
    // The clipboard's change passes on: other listeners may want it too.
    FClipboardFilter = System.AddEventFilter(TFilterPlace::First, [this](const TEvent& Event) {
        if (std::holds_alternative<TClipboardEvent>(Event))
            FClipboard.Changed();
        return false;
    });
    FInfos.Changes().AddChangeHandler(MakeDelegate<&TApplicationServices::ClipInfosChanged>(this));
}

TApplicationServices::~TApplicationServices() {
    FInfos.Changes().RemoveChangeHandler(
        MakeDelegate<&TApplicationServices::ClipInfosChanged>(this));
    FClipboardFilter.Reset();
    SetApplicationClipboard(nullptr);
}

void TApplicationServices::WatchMediaFolders(const TMediaFolders& Folders) {
    FInfos.WatchFolders(Folders);
}

void TApplicationServices::ClipInfosChanged(TObject*, TClipInfoChangeFlags Flags) {
    FProject.OnClipInfosChanged(Flags);
}

std::string UserCacheFolder() {
    std::string Base;
    if (const char* Cache = std::getenv("XDG_CACHE_HOME"); Cache && *Cache == '/')
        Base = Cache;
    else if (const char* Home = std::getenv("HOME"); Home && *Home == '/')
        Base = std::string(Home) + "/.cache";
    else
        return "";
    if (Base.back() != '/')
        Base += '/';
    return Base + GetText(TTextSlot::ProgramFolderName) + "/";
}

TCatalogFolders ApplicationCatalogFolders(const std::string& ImagesFolder) {
    return {ImagesFolder, UserCacheFolder()};
}
