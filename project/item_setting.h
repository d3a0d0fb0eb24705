#pragma once

#include "core/geometry.h"
#include "core/object.h"

#include <cstdint>
#include <string>
#include <vector>

class TData;
class TItem;
class TProjectChanges;

// Whether a setting is offered for editing (a clip's picture adjustments
// are hidden on tracks that do not show its picture).
enum class TSettingState : uint8_t {
    Offered = 0,
    Hidden = 2,
};

// One user-editable value of an item that is not a time (mute, volume, a
// colour, an effect parameter). It is stored in the item's "Settings"
// section under Key, and pushes its value to the render side in Apply.
class TItemSetting : public TObject {
public:
    TItemSetting(TItem* Owner, std::string Key, std::string Caption);
    std::string_view ClassName() const override { return "TItemSetting"; }

    TItem* Owner() const { return FOwner; }
    const std::string& Key() const { return FKey; }
    const std::string& Caption() const { return FCaption; }

    TSettingState State() const { return FState; }
    void SetState(TSettingState Value);

    virtual void Apply() {}
    virtual void StateChanged() {}
    virtual void Refresh() {}
    virtual void Load(TData&) {}
    virtual void Save(TData&) const {}

protected:
    // The owner's notifier, or none while the owner is not in a project.
    TProjectChanges* Changes() const;
    // The common path of every user change, inside an update bracket of the
    // owner's notifier: files a TRecord holding the old value with the undo
    // history (unless the history is replaying the change), runs Store, then
    // Apply. Both helpers are defined for the typed settings of
    // item_setting.cpp.
    template <class TRecord, class TStore>
    void ChangeValue(TStore&& Store);
    // Runs Work inside an update bracket of the owner's notifier, if any.
    template <class TWork>
    void InUpdate(TWork&& Work);

private:
    TItem* FOwner;
    std::string FKey;
    std::string FCaption;
    TSettingState FState = TSettingState::Offered;
};

class TBoolItemSetting : public TItemSetting {
public:
    TBoolItemSetting(TItem* Owner, std::string Key, std::string Caption, bool Value)
        : TItemSetting(Owner, std::move(Key), std::move(Caption)), FValue(Value) {}
    std::string_view ClassName() const override { return "TBoolItemSetting"; }

    bool Value() const { return FValue; }
    void SetValue(bool NewValue);
    // Stores and applies without undo: for an item being made, before it
    // is in the project.
    void SetValueRaw(bool NewValue);

    void Load(TData& Data) override;
    void Save(TData& Data) const override;

protected:
    bool FValue;
};

class TColorItemSetting : public TItemSetting {
public:
    TColorItemSetting(TItem* Owner, std::string Key, std::string Caption, TColor Value)
        : TItemSetting(Owner, std::move(Key), std::move(Caption)), FValue(Value) {}
    std::string_view ClassName() const override { return "TColorItemSetting"; }

    TColor Value() const { return FValue; }
    void SetValue(TColor NewValue);

    void Load(TData& Data) override;
    void Save(TData& Data) const override;

protected:
    TColor FValue;
};

// One of a list of choices, stored by its index. Indexes are taken as they
// come, from the user and from files alike: the list is for display only.
class TEnumItemSetting : public TItemSetting {
public:
    TEnumItemSetting(TItem* Owner, std::string Key, std::string Caption, int32_t Value,
                     std::vector<std::string> Names)
        : TItemSetting(Owner, std::move(Key), std::move(Caption)), FValue(Value),
          FNames(std::move(Names)) {}
    std::string_view ClassName() const override { return "TEnumItemSetting"; }

    int32_t Value() const { return FValue; }
    const std::vector<std::string>& Names() const { return FNames; }
    void SetValue(int32_t NewValue);

    void Load(TData& Data) override;
    void Save(TData& Data) const override;

protected:
    int32_t FValue;
    std::vector<std::string> FNames;
};

class TFloatItemSettingUndo;
class TIntegerItemSettingUndo;

// A number kept within Min to Max, stored as an integer or a real number:
// the common body of TIntegerItemSetting and TFloatItemSetting. A change
// files a TRecord with the undo history.
template <class TValue, class TRecord>
class TRangedItemSetting : public TItemSetting {
public:
    TRangedItemSetting(TItem* Owner, std::string Key, std::string Caption, TValue Value,
                       TValue Min, TValue Max, TValue Default)
        : TItemSetting(Owner, std::move(Key), std::move(Caption)), FMin(Min), FMax(Max),
          FDefault(Default) {
        FValue = Clamp(Value);
    }

    TValue Value() const { return FValue; }
    TValue Min() const { return FMin; }
    TValue Max() const { return FMax; }
    TValue Default() const { return FDefault; }
    // Clamped to Min to Max first.
    void SetValue(TValue NewValue);
    // Takes the value and range the render side reports; not an edit of the
    // user's, so nothing is recorded.
    void SetRange(TValue NewValue, TValue NewMin, TValue NewDefault, TValue NewMax);

    void Load(TData& Data) override;
    void Save(TData& Data) const override;

protected:
    TValue Clamp(TValue Value) const;
    TValue FValue = 0;
    TValue FMin;
    TValue FMax;
    TValue FDefault;
};

extern template class TRangedItemSetting<int32_t, TIntegerItemSettingUndo>;
extern template class TRangedItemSetting<double, TFloatItemSettingUndo>;

// A whole number kept within Min to Max.
class TIntegerItemSetting : public TRangedItemSetting<int32_t, TIntegerItemSettingUndo> {
public:
    using TRangedItemSetting::TRangedItemSetting;
    std::string_view ClassName() const override { return "TIntegerItemSetting"; }
};

// A real number kept within Min to Max; values compare exactly.
class TFloatItemSetting : public TRangedItemSetting<double, TFloatItemSettingUndo> {
public:
    using TRangedItemSetting::TRangedItemSetting;
    std::string_view ClassName() const override { return "TFloatItemSetting"; }
};

// A volume in percent, 0 to 800.
class TVolumeItemSetting : public TItemSetting {
public:
    static constexpr double MaxVolume = 800.0;

    TVolumeItemSetting(TItem* Owner, std::string Key, std::string Caption, double Value)
        : TItemSetting(Owner, std::move(Key), std::move(Caption)), FValue(Clamp(Value)) {}
    std::string_view ClassName() const override { return "TVolumeItemSetting"; }

    double Value() const { return FValue; }
    void SetValue(double NewValue);

    void Load(TData& Data) override;
    void Save(TData& Data) const override;

protected:
    static double Clamp(double Value);
    double FValue;
};
