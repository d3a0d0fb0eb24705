#include "project/item_record.h"

#include "core/data.h"
#include "core/text.h"
#include "project/effect.h"
#include "project/file_clip.h"
#include "project/media_paths.h"
#include "project/title_clip.h"
#include "project/transition.h"
#include "render/description_registry.h"

namespace {

TTrackItem* CreateItem(TData& Data) {
    std::string Type = Data.ReadString("Type", "");
    if (SameTextAscii(Type, "FileClip"))
        return new TFileClip(
            0, ResolvedMediaFileName(Data.ReadString("FileName", ""), MediaFolders()));
    const TDescriptionRegistry& Registry = DescriptionRegistry();
    if (SameTextAscii(Type, "TitleClip")) {
        int32_t Id = Data.ReadInteger("Id", -1);
        return Registry.Titles().TitleByIndex(Id) ? new TTitleClip(0, 0, Id) : nullptr;
    }
    if (SameTextAscii(Type, "Transition")) {
        int32_t Id = Data.ReadInteger("Id", -1);
        return Registry.Transitions().TransitionByIndex(Id) ? new TTransition(0, 0, Id) : nullptr;
    }
    if (SameTextAscii(Type, "Effect")) {
        int32_t Id = Data.ReadInteger("Id", -1);
        return Registry.Effects().EffectByIndex(Id) ? new TEffect(0, 0, Id) : nullptr;
    }
    return nullptr;
}

} // namespace

TTrackItem* LoadTrackItem(TData& Data) {
    TTrackItem* Item = CreateItem(Data);
    if (!Item)
        return nullptr;
    try {
        Item->Load(Data);
    } catch (...) {
        Item->Free();
        throw;
    }
    return Item;
}
