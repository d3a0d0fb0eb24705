#pragma once

#include "core/geometry.h"
#include "core/object.h"

#include <cstdint>
#include <string>

class TData;
class TItem;
class TProjectChanges;

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

    // 0 normally; 2 marks a setting that is not offered for editing.
    uint8_t State() const { return FState; }
    void SetState(uint8_t Value);

    virtual void Apply() {}
    virtual void StateChanged() {}
    virtual void Refresh() {}
    virtual void Load(TData&) {}
    virtual void Save(TData&) const {}

protected:
    // The owner's notifier, or none while the owner is not in a project.
    TProjectChanges* Changes() const;
    // Runs Store inside an update bracket of the owner's notifier, then Apply:
    // the common path of every user change.
    template <class TStore>
    void ChangeValue(TStore&& Store);

private:
    // Runs Work inside an update bracket of the owner's notifier, if any.
    template <class TWork>
    void InUpdate(TWork&& Work);

    TItem* FOwner;
    std::string FKey;
    std::string FCaption;
    uint8_t FState = 0;
};

class TBoolItemSetting : public TItemSetting {
public:
    TBoolItemSetting(TItem* Owner, std::string Key, std::string Caption, bool Value)
        : TItemSetting(Owner, std::move(Key), std::move(Caption)), FValue(Value) {}
    std::string_view ClassName() const override { return "TBoolItemSetting"; }

    bool Value() const { return FValue; }
    void SetValue(bool NewValue);

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
