#pragma once

#include "render/media_settings.h"

#include <memory>
#include <vector>

class TMediaSettingsPreset;
class TPresetsMediaSettingsHandler;

// A setting that offers named presets, one of which is current (-1: none).
// SelectPreset is the user's choice and goes through the handler to every
// linked setting; ApplyPreset acts on this setting alone.
class TPresetsMediaSettings : public THandledMediaSettings {
public:
    ~TPresetsMediaSettings() override;
    std::string_view ClassName() const override { return "TPresetsMediaSettings"; }

    int32_t PresetCount() const { return static_cast<int32_t>(FPresets.size()); }
    TMediaSettingsPreset& Preset(int32_t Index) const { return *FPresets[size_t(Index)]; }
    int32_t PresetIndex() const { return FPresetIndex; }
    // The preset with that key, compared without regard to ASCII case; -1 for none.
    int32_t FindPreset(std::string_view Key) const;

    // An index out of range changes nothing.
    virtual void SelectPreset(int32_t Index);
    // Makes the preset current and lets it write its values; a negative
    // index does nothing.
    virtual void ApplyPreset(int32_t Index) = 0;
    // How "Optimal" follows the project: the current preset writes its
    // values again.
    void ReapplyPreset() { ApplyPreset(FPresetIndex); }

protected:
    TPresetsMediaSettings(TMediaSettings& Parent, std::string Name,
                          TPresetsMediaSettingsHandler* Handler);
    void AddPreset(std::unique_ptr<TMediaSettingsPreset> Preset);
    // Makes Index current, announcing Flags when it differs.
    void SetPresetIndex(int32_t Index, TMediaSettingsChangeFlags Flags);

private:
    std::vector<std::unique_ptr<TMediaSettingsPreset>> FPresets;
    int32_t FPresetIndex = -1;
};
