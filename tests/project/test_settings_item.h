#pragma once

#include "project/item.h"
#include "project/item_setting.h"

#include <string>
#include <vector>

// An item outside any project with one setting of each type, counting how
// often its settings were applied, refreshed and changed state, and noting
// when it is freed.
class TSettingsItem : public TItem {
public:
    explicit TSettingsItem(int* FreedCount = nullptr) : FFreedCount(FreedCount) {
        Flag = AddSetting<TApplied<TBoolItemSetting>>(this, "Flag", "Flag", false);
        Tint = AddSetting<TApplied<TColorItemSetting>>(this, "Tint", "Tint", 0xFF000000u);
        Shape = AddSetting<TApplied<TEnumItemSetting>>(this, "Shape", "Shape", 0,
                                                       std::vector<std::string>{"Round", "Square"});
        Amount =
            AddSetting<TApplied<TIntegerItemSetting>>(this, "Amount", "Amount", 10, -100, 100, 0);
        Ratio = AddSetting<TApplied<TFloatItemSetting>>(this, "Ratio", "Ratio", 0.5, 0.0, 2.0, 1.0);
        Level = AddSetting<TApplied<TVolumeItemSetting>>(this, "Level", "Level", 100.0);
    }
    std::string_view ClassName() const override { return "TSettingsItem"; }
    TProjectChanges* Changes() const override { return nullptr; }

    TBoolItemSetting* Flag;
    TColorItemSetting* Tint;
    TEnumItemSetting* Shape;
    TIntegerItemSetting* Amount;
    TFloatItemSetting* Ratio;
    TVolumeItemSetting* Level;
    int ApplyCount = 0;
    int RefreshCount = 0;
    int StateChangedCount = 0;

protected:
    ~TSettingsItem() override {
        if (FFreedCount)
            ++*FFreedCount;
    }

private:
    template <class TBase>
    class TApplied : public TBase {
    public:
        template <class... TArgs>
        TApplied(TItem* Owner, TSettingsItem* Item, TArgs&&... Args)
            : TBase(Owner, std::forward<TArgs>(Args)...), FItem(Item) {}
        void Apply() override { ++FItem->ApplyCount; }
        void Refresh() override { ++FItem->RefreshCount; }
        void StateChanged() override { ++FItem->StateChangedCount; }

    private:
        TSettingsItem* FItem;
    };

    int* FFreedCount;
};
