#include "project/item_setting.h"

#include "core/data.h"
#include "project/item.h"
#include "project/item_setting_undo.h"
#include "project/project_changes.h"
#include "project/undo_history.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <type_traits>
#include <utility>

TItemSetting::TItemSetting(TItem* Owner, std::string Key, std::string Caption)
    : FOwner(Owner), FKey(std::move(Key)), FCaption(std::move(Caption)) {}

TProjectChanges* TItemSetting::Changes() const {
    return FOwner ? FOwner->Changes() : nullptr;
}

void TItemSetting::SetState(TSettingState Value) {
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

template <class TRecord, class TStore>
void TItemSetting::ChangeValue(TStore&& Store) {
    InUpdate([&] {
        // Replaying a record sets the value through here: the record in the
        // history already holds the change.
        TUndoHistory& History = UndoHistory();
        if (!History.Replaying())
            History.Add(
                std::make_unique<TRecord>(static_cast<const typename TRecord::TSetting&>(*this)));
        Store();
        Apply();
    });
}

void TBoolItemSetting::SetValue(bool NewValue) {
    if (NewValue == FValue)
        return;
    ChangeValue<TBoolItemSettingUndo>([&] { FValue = NewValue; });
}

void TBoolItemSetting::SetValueRaw(bool NewValue) {
    FValue = NewValue;
    Apply();
}

void TBoolItemSetting::Load(TData& Data) {
    FValue = Data.ReadBool(Key(), FValue);
}

void TBoolItemSetting::Save(TData& Data) const {
    Data.WriteBool(Key(), FValue);
}

void TColorItemSetting::SetValue(TColor NewValue) {
    if (NewValue == FValue)
        return;
    ChangeValue<TColorItemSettingUndo>([&] { FValue = NewValue; });
}

void TColorItemSetting::Load(TData& Data) {
    FValue = Data.ReadColor(Key(), FValue);
}

void TColorItemSetting::Save(TData& Data) const {
    Data.WriteColor(Key(), FValue);
}

void TEnumItemSetting::SetValue(int32_t NewValue) {
    if (NewValue == FValue)
        return;
    ChangeValue<TEnumItemSettingUndo>([&] { FValue = NewValue; });
}

void TEnumItemSetting::Load(TData& Data) {
    FValue = Data.ReadInteger(Key(), FValue);
}

void TEnumItemSetting::Save(TData& Data) const {
    Data.WriteInteger(Key(), FValue);
}

template <class TValue, class TRecord>
TValue TRangedItemSetting<TValue, TRecord>::Clamp(TValue Value) const {
    // Min wins over a Max below it, so a damaged range still gives one value.
    if (!(Value >= FMin)) // also maps NaN to the minimum
        return FMin;
    return Value > FMax ? std::max(FMax, FMin) : Value;
}

template <class TValue, class TRecord>
void TRangedItemSetting<TValue, TRecord>::SetValue(TValue NewValue) {
    NewValue = Clamp(NewValue);
    if (NewValue == FValue)
        return;
    ChangeValue<TRecord>([&] { FValue = NewValue; });
}

template <class TValue, class TRecord>
void TRangedItemSetting<TValue, TRecord>::SetRange(TValue NewValue, TValue NewMin,
                                                   TValue NewDefault, TValue NewMax) {
    if (NewValue == FValue && NewMin == FMin && NewDefault == FDefault && NewMax == FMax)
        return;
    InUpdate([&] {
        FValue = NewValue;
        FMin = NewMin;
        FDefault = NewDefault;
        FMax = NewMax;
        Apply();
    });
}

template <class TValue, class TRecord>
void TRangedItemSetting<TValue, TRecord>::Load(TData& Data) {
    if constexpr (std::is_integral_v<TValue>)
        FValue = Clamp(Data.ReadInteger(Key(), FValue));
    else
        FValue = Clamp(Data.ReadFloat(Key(), FValue));
}

template <class TValue, class TRecord>
void TRangedItemSetting<TValue, TRecord>::Save(TData& Data) const {
    if constexpr (std::is_integral_v<TValue>)
        Data.WriteInteger(Key(), FValue);
    else
        Data.WriteFloat(Key(), FValue);
}

template class TRangedItemSetting<int32_t, TIntegerItemSettingUndo>;
template class TRangedItemSetting<double, TFloatItemSettingUndo>;

double TVolumeItemSetting::Clamp(double Value) {
    if (!(Value > 0)) // also maps NaN to silence
        return 0;
    return Value > MaxVolume ? MaxVolume : Value;
}

void TVolumeItemSetting::SetValue(double NewValue) {
    NewValue = Clamp(NewValue);
    if (NewValue == FValue)
        return;
    ChangeValue<TVolumeItemSettingUndo>([&] { FValue = NewValue; });
}

void TVolumeItemSetting::Load(TData& Data) {
    FValue = Clamp(Data.ReadFloat(Key(), FValue));
}

void TVolumeItemSetting::Save(TData& Data) const {
    Data.WriteFloat(Key(), FValue);
}
