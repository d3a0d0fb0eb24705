#include "render/presets_media_settings.h"

#include "core/text.h"
#include "render/media_settings_handler.h"
#include "render/media_settings_preset.h"

TPresetsMediaSettings::TPresetsMediaSettings(TMediaSettings& Parent, std::string Name,
                                             TPresetsMediaSettingsHandler* Handler)
    : THandledMediaSettings(Parent, std::move(Name), Handler) {}

TPresetsMediaSettings::~TPresetsMediaSettings() = default;

void TPresetsMediaSettings::AddPreset(std::unique_ptr<TMediaSettingsPreset> Preset) {
    FPresets.push_back(std::move(Preset));
}

int32_t TPresetsMediaSettings::FindPreset(std::string_view Key) const {
    for (int32_t I = 0; I < PresetCount(); ++I)
        if (SameTextAscii(FPresets[size_t(I)]->Key(), Key))
            return I;
    return -1;
}

void TPresetsMediaSettings::SelectPreset(int32_t Index) {
    if (Index < 0 || Index >= PresetCount())
        return;
    if (auto* Linked = static_cast<TPresetsMediaSettingsHandler*>(Handler()))
        Linked->SelectPreset(Preset(Index).Key());
    else
        ApplyPreset(Index);
}

void TPresetsMediaSettings::SetPresetIndex(int32_t Index, TMediaSettingsChangeFlags Flags) {
    if (Index == FPresetIndex)
        return;
    FPresetIndex = Index;
    Change(Flags);
}
