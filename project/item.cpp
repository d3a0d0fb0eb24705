#include "project/item.h"

#include "core/data.h"
#include "core/text.h"
#include "project/element_settings.h"
#include "project/item_setting.h"
#include "project/project_changes.h"
#include "render/element_property.h"
#include "render/element_property_description.h"

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

void TItem::AddElementSettings(TElementProps& Props, const TTransformDescription& Description,
                               const TPropertyHost* Host) {
    for (auto& Property : MakeElementProperties(Props, Description, Host)) {
        TElementProperty& Bound = *Property;
        switch (Bound.Description().Type()) {
        case TPropertyType::Integer:
            AddSetting<TIntegerElementSetting>(Bound);
            break;
        case TPropertyType::Float:
            AddSetting<TFloatElementSetting>(Bound);
            break;
        case TPropertyType::Color:
            AddSetting<TColorElementSetting>(Bound);
            break;
        case TPropertyType::Boolean:
            AddSetting<TBoolElementSetting>(Bound);
            break;
        case TPropertyType::Enumeration:
            AddSetting<TEnumElementSetting>(Bound);
            break;
        default:
            continue;
        }
        FElementProperties.push_back(std::move(Property));
    }
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
