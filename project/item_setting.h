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

// A whole number kept within Min to Max.
class TIntegerItemSetting : public TItemSetting {
public:
    TIntegerItemSetting(TItem* Owner, std::string Key, std::string Caption, int32_t Value,
                        int32_t Min, int32_t Max, int32_t Default)
        : TItemSetting(Owner, std::move(Key), std::move(Caption)), FMin(Min), FMax(Max),
          FDefault(Default) {
        FValue = Clamp(Value);
    }
    std::string_view ClassName() const override { return "TIntegerItemSetting"; }

    int32_t Value() const { return FValue; }
    int32_t Min() const { return FMin; }
    int32_t Max() const { return FMax; }
    int32_t Default() const { return FDefault; }
    // Clamped to Min to Max first.
    void SetValue(int32_t NewValue);
    // Takes the value and range the render side reports; not an edit of the
    // user's, so nothing is recorded.
    void SetRange(int32_t NewValue, int32_t NewMin, int32_t NewDefault, int32_t NewMax);

    void Load(TData& Data) override;
    void Save(TData& Data) const override;

protected:
    int32_t Clamp(int32_t Value) const;
    int32_t FValue = 0;
    int32_t FMin;
    int32_t FMax;
    int32_t FDefault;
};

// A real number kept within Min to Max; values compare exactly.
class TFloatItemSetting : public TItemSetting {
public:
    TFloatItemSetting(TItem* Owner, std::string Key, std::string Caption, double Value, double Min,
                      double Max, double Default)
        : TItemSetting(Owner, std::move(Key), std::move(Caption)), FMin(Min), FMax(Max),
          FDefault(Default) {
        FValue = Clamp(Value);
    }
    std::string_view ClassName() const override { return "TFloatItemSetting"; }

    double Value() const { return FValue; }
    double Min() const { return FMin; }
    double Max() const { return FMax; }
    double Default() const { return FDefault; }
    // Clamped to Min to Max first.
    void SetValue(double NewValue);
    // Takes the value and range the render side reports; nothing is recorded.
    void SetRange(double NewValue, double NewMin, double NewDefault, double NewMax);

    void Load(TData& Data) override;
    void Save(TData& Data) const override;

protected:
    double Clamp(double Value) const;
    double FValue = 0;
    double FMin;
    double FMax;
    double FDefault;
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
