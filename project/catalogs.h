#pragma once

#include "project/catalog_infos.h"

// The application's effects, transitions and titles catalogues, made on
// first use from the folders the start-up code set: the shipped pictures in
// the installed images folder, pictures rendered at run time in the user's
// cache folder.
//
//   SetCatalogFolders({Folders.Images, UserCacheFolder});
//   const TVideoFrame& Picture = Catalogs().Effects.GetPicture(*Entry);
struct TCatalogs {
    explicit TCatalogs(const TCatalogFolders& Folders)
        : Effects(Folders), Transitions(Folders), Titles(Folders) {}

    TEffectInfos Effects;
    TTransitionInfos Transitions;
    TTitlesInfo Titles;
};

// Catalogues made before this are dropped: the next Catalogs() makes them
// again in the new folders. Nothing may keep an entry across the call.
void SetCatalogFolders(TCatalogFolders Folders);
const TCatalogFolders& CatalogFolders();
TCatalogs& Catalogs();
