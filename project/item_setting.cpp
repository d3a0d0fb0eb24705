#include "project/item_setting.h"

#include "core/data.h"
#include "project/item.h"
#include "project/project_changes.h"

#include <cmath>
#include <utility>

TItemSetting::TItemSetting(TItem* Owner, std::string Key, std::string Caption)
    : FOwner(Owner), FKey(std::move(Key)), FCaption(std::move(Caption)) {}

TProjectChanges* TItemSetting::Changes() const { return FOwner ? FOwner->Changes() : nullptr; }

void TItemSetting::SetState(uint8_t Value) {
    if (Value == FState)
        return;
    InUpdate([&] {
        FState = Value;
        StateChanged();
    });
}

template <class TWork>
void TItemSetting::InUpdate(TWork&& Work) {
    TUpdateGuard Guard(Changes());
    Work();
}

template <class TStore>
void TItemSetting::ChangeValue(TStore&& Store) {
    InUpdate([&] {
        Store();
        Apply();
    });
}

void TBoolItemSetting::SetValue(bool NewValue) {
    if (NewValue == FValue)
        return;
    ChangeValue([&] { FValue = NewValue; });
}

void TBoolItemSetting::Load(TData& Data) { FValue = Data.ReadBool(Key(), FValue); }

void TBoolItemSetting::Save(TData& Data) const { Data.WriteBool(Key(), FValue); }

void TColorItemSetting::SetValue(TColor NewValue) {
    if (NewValue == FValue)
        return;
    ChangeValue([&] { FValue = NewValue; });
}

void TColorItemSetting::Load(TData& Data) { FValue = Data.ReadColor(Key(), FValue); }

void TColorItemSetting::Save(TData& Data) const { Data.WriteColor(Key(), FValue); }

double TVolumeItemSetting::Clamp(double Value) {
    if (!(Value > 0)) // also maps NaN to silence
        return 0;
    return Value > MaxVolume ? MaxVolume : Value;
}

void TVolumeItemSetting::SetValue(double NewValue) {
    NewValue = Clamp(NewValue);
    if (NewValue == FValue)
        return;
    ChangeValue([&] { FValue = NewValue; });
}

void TVolumeItemSetting::Load(TData& Data) { FValue = Clamp(Data.ReadFloat(Key(), FValue)); }

void TVolumeItemSetting::Save(TData& Data) const { Data.WriteFloat(Key(), FValue); }
