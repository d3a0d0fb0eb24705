#pragma once

#include "core/ref_object.h"

#include <memory>
#include <vector>

class TData;
class TElementProperty;
class TElementProps;
class TItemSetting;
class TPropertyHost;
class TTransformDescription;
class TProjectChanges;

// The common base of tracks, sub-tracks, track items and clip effects: a
// selectable, stored object with a list of typed settings.
class TItem : public TRefObject {
public:
    std::string_view ClassName() const override { return "TItem"; }

    bool IsSelected() const { return FIsSelected; }
    // Signals ProjectChangeSelection when the flag changes.
    void SetSelected(bool Value);
    bool Destroying() const { return FDestroying; }

    // The notifier to signal on: the project's, or none while the item is not
    // in a project.
    virtual TProjectChanges* Changes() const = 0;

    int32_t SettingCount() const { return static_cast<int32_t>(FSettings.size()); }
    TItemSetting* Setting(int32_t Index) const {
        return FSettings[static_cast<size_t>(Index)].get();
    }
    // The setting stored under Key, or none.
    TItemSetting* FindSetting(std::string_view Key) const;

    // Asks every setting to bring its value to the render side.
    virtual void ApplySettings();
    virtual void Load(TData& Data);
    virtual void Save(TData& Data) const;

protected:
    TItem();
    ~TItem() override;

    // Settings are created by their item, in the order they are stored, and
    // refreshed once from the render side as soon as they are in the list.
    template <class TSetting, class... TArgs>
    TSetting* AddSetting(TArgs&&... Args) {
        auto Setting = std::make_unique<TSetting>(this, std::forward<TArgs>(Args)...);
        TSetting* Raw = Setting.get();
        FSettings.push_back(std::move(Setting));
        Raw->Refresh();
        return Raw;
    }
    // One element setting for each property Description offers for editing,
    // in property order, writing into Props; properties of other types get
    // none. With a Host, lengths in seconds follow the host's duration.
    void AddElementSettings(TElementProps& Props, const TTransformDescription& Description,
                            const TPropertyHost* Host = nullptr);
    void BeginDestroying() { FDestroying = true; }
    // Drops a setting the item no longer offers (an unavailable clip keeps
    // only those its stored record had).
    void RemoveSetting(TItemSetting* Setting);

private:
    // Declared first so that the settings referring to them go first.
    std::vector<std::unique_ptr<TElementProperty>> FElementProperties;
    std::vector<std::unique_ptr<TItemSetting>> FSettings;
    bool FIsSelected = false;
    bool FDestroying = false;
};
