#include "project/item.h"

#include "core/data.h"
#include "core/text.h"
#include "project/item_setting.h"
#include "project/project_changes.h"

TItem::TItem() = default;
TItem::~TItem() = default;

void TItem::SetSelected(bool Value) {
    if (Value == FIsSelected)
        return;
    TProjectChanges* Notifier = Changes();
    TUpdateGuard Guard(Notifier);
    FIsSelected = Value;
    if (Notifier)
        Notifier->Change(ProjectChangeSelection);
}

TItemSetting* TItem::FindSetting(std::string_view Key) const {
    for (const auto& Setting : FSettings)
        if (SameTextAscii(Setting->Key(), Key))
            return Setting.get();
    return nullptr;
}

void TItem::RemoveSetting(TItemSetting* Setting) {
    std::erase_if(FSettings, [&](const auto& Owned) { return Owned.get() == Setting; });
}

void TItem::ApplySettings() {
    for (const auto& Setting : FSettings)
        Setting->Refresh();
}

void TItem::Load(TData& Data) {
    FIsSelected = Data.ReadBool("IsSelected", FIsSelected);
    TDataSection Section(Data, "Settings");
    for (const auto& Setting : FSettings) {
        Setting->Load(Data);
        Setting->Apply();
    }
}

void TItem::Save(TData& Data) const {
    Data.WriteBool("IsSelected", FIsSelected);
    TDataSection Section(Data, "Settings");
    for (const auto& Setting : FSettings)
        Setting->Save(Data);
}
