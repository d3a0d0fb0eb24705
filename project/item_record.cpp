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

TRefPtr<TTrackItem> CreateItem(TData& Data) {
    std::string Type = Data.ReadString("Type", "");
    if (SameTextAscii(Type, "FileClip"))
        return MakeRef<TFileClip>(
            0, LocatedMediaFileName(Data.ReadString("FileName", ""), MediaFolders(),
                                    LoadingProjectFolder()));
    const TDescriptionRegistry& Registry = DescriptionRegistry();
    if (SameTextAscii(Type, "TitleClip")) {
        int32_t Id = Data.ReadInteger("Id", -1);
        if (Registry.Titles().TitleByIndex(Id))
            return MakeRef<TTitleClip>(0, 0, Id);
        return nullptr;
    }
    if (SameTextAscii(Type, "Transition")) {
        int32_t Id = Data.ReadInteger("Id", -1);
        if (Registry.Transitions().TransitionByIndex(Id))
            return MakeRef<TTransition>(0, 0, Id);
        return nullptr;
    }
    if (SameTextAscii(Type, "Effect")) {
        int32_t Id = Data.ReadInteger("Id", -1);
        if (Registry.Effects().EffectByIndex(Id))
            return MakeRef<TEffect>(0, 0, Id);
        return nullptr;
    }
    return nullptr;
}

} // namespace

TRefPtr<TTrackItem> LoadTrackItem(TData& Data) {
    TRefPtr<TTrackItem> Item = CreateItem(Data);
    if (Item)
        Item->Load(Data);
    return Item;
}
