#include "project/item_setting_undo.h"

#include "project/item.h"
#include "project/item_setting.h"

#include <cassert>

template <class TSettingClass, class TValueType>
TItemSettingUndo<TSettingClass, TValueType>::TItemSettingUndo(const TSetting& Setting)
    : TUndo(Setting.Caption()), FItem(Setting.Owner()), FKey(Setting.Key()),
      FValue(Setting.Value()) {
    assert(FItem && "a setting without an item cannot be found again");
}

template <class TSettingClass, class TValueType>
TItemSettingUndo<TSettingClass, TValueType>::~TItemSettingUndo() = default;

template <class TSettingClass, class TValueType>
void TItemSettingUndo<TSettingClass, TValueType>::Exchange() {
    // By key, not by caption: captions follow the text table and need not be
    // unique, keys are what the item stores its settings under.
    auto* Setting = dynamic_cast<TSetting*>(FItem->FindSetting(FKey));
    assert(Setting && "an item keeps its settings for its whole life");
    if (!Setting)
        return;
    TValue Live = Setting->Value();
    Setting->SetValue(FValue);
    FValue = Live;
}

template class TItemSettingUndo<TBoolItemSetting, bool>;
template class TItemSettingUndo<TColorItemSetting, TColor>;
template class TItemSettingUndo<TEnumItemSetting, int32_t>;
template class TItemSettingUndo<TIntegerItemSetting, int32_t>;
template class TItemSettingUndo<TFloatItemSetting, double>;
template class TItemSettingUndo<TVolumeItemSetting, double>;
