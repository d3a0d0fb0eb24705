#include "project/catalogs.h"

#include <memory>

namespace {

struct TApplicationCatalogs {
    TCatalogFolders Folders;
    std::unique_ptr<TCatalogs> Made;
};

TApplicationCatalogs& Application() {
    static TApplicationCatalogs Instance;
    return Instance;
}

} // namespace

void SetCatalogFolders(TCatalogFolders Folders) {
    Application().Made.reset();
    Application().Folders = std::move(Folders);
}

const TCatalogFolders& CatalogFolders() {
    return Application().Folders;
}

TCatalogs& Catalogs() {
    TApplicationCatalogs& Instance = Application();
    if (!Instance.Made)
        Instance.Made = std::make_unique<TCatalogs>(Instance.Folders);
    return *Instance.Made;
}
