#pragma once

#include "core/geometry.h"
#include "core/ref_object.h"
#include "project/undo_record.h"

#include <cstdint>
#include <string>

class TBoolItemSetting;
class TColorItemSetting;
class TEnumItemSetting;
class TFloatItemSetting;
class TIntegerItemSetting;
class TItem;
class TItemSetting;
class TVolumeItemSetting;

// Restores the value of one setting. The record holds the setting's item by
// reference, so it stays valid after the item has left the project, and finds
// the setting again on that item by its Key. Exchanging gives the stored
// value to the setting's SetValue (which records nothing while the history
// replays, and pushes the value to the render side) and keeps the live one.
template <class TSettingClass, class TValueType>
class TItemSettingUndo : public TUndo {
public:
    using TSetting = TSettingClass;
    using TValue = TValueType;

    // Captures the setting's current value; the text is its caption.
    explicit TItemSettingUndo(const TSetting& Setting);
    ~TItemSettingUndo() override;

    TItem* Item() const { return FItem.Get(); }
    const std::string& Key() const { return FKey; }
    // The value the next replay gives the setting.
    TValue Value() const { return FValue; }

protected:
    void Exchange() override;

private:
    TRefPtr<TItem> FItem;
    std::string FKey;
    TValue FValue;
};

extern template class TItemSettingUndo<TBoolItemSetting, bool>;
extern template class TItemSettingUndo<TColorItemSetting, TColor>;
extern template class TItemSettingUndo<TEnumItemSetting, int32_t>;
extern template class TItemSettingUndo<TIntegerItemSetting, int32_t>;
extern template class TItemSettingUndo<TFloatItemSetting, double>;
extern template class TItemSettingUndo<TVolumeItemSetting, double>;

class TBoolItemSettingUndo : public TItemSettingUndo<TBoolItemSetting, bool> {
public:
    using TItemSettingUndo::TItemSettingUndo;
    std::string_view ClassName() const override { return "TBoolItemSettingUndo"; }
};

class TColorItemSettingUndo : public TItemSettingUndo<TColorItemSetting, TColor> {
public:
    using TItemSettingUndo::TItemSettingUndo;
    std::string_view ClassName() const override { return "TColorItemSettingUndo"; }
};

class TEnumItemSettingUndo : public TItemSettingUndo<TEnumItemSetting, int32_t> {
public:
    using TItemSettingUndo::TItemSettingUndo;
    std::string_view ClassName() const override { return "TEnumItemSettingUndo"; }
};

class TIntegerItemSettingUndo : public TItemSettingUndo<TIntegerItemSetting, int32_t> {
public:
    using TItemSettingUndo::TItemSettingUndo;
    std::string_view ClassName() const override { return "TIntegerItemSettingUndo"; }
};

class TFloatItemSettingUndo : public TItemSettingUndo<TFloatItemSetting, double> {
public:
    using TItemSettingUndo::TItemSettingUndo;
    std::string_view ClassName() const override { return "TFloatItemSettingUndo"; }
};

class TVolumeItemSettingUndo : public TItemSettingUndo<TVolumeItemSetting, double> {
public:
    using TItemSettingUndo::TItemSettingUndo;
    std::string_view ClassName() const override { return "TVolumeItemSettingUndo"; }
};
