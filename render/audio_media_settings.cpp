#include "render/audio_media_settings.h"

#include "core/changes.h"
#include "core/data.h"
#include "render/media_settings_handler.h"
#include "render/media_settings_preset.h"

#include <algorithm>

TAudioMediaSettings::TAudioMediaSettings(TMediaSettings& Parent, std::string Name,
                                         TAudioMediaSettingsHandler* Handler)
    : TPresetsMediaSettings(Parent, std::move(Name), Handler) {}

void TAudioMediaSettings::ApplyValues(int32_t BitsPerSample, int32_t Channels,
                                      int32_t SamplesPerSecond) {
    TUpdateGuard Guard(Changes());
    if (BitsPerSample != FBitsPerSample || Channels != FChannels ||
        SamplesPerSecond != FSamplesPerSecond) {
        FBitsPerSample = BitsPerSample;
        FChannels = Channels;
        FSamplesPerSecond = SamplesPerSecond;
        Change(MediaSettingsChangeAudio);
    }
    for (int32_t I = 0; I < PresetCount(); ++I)
        if (Preset(I).Matches(FBitsPerSample, FChannels, FSamplesPerSecond)) {
            SetPresetIndex(I, MediaSettingsChangeAudio);
            break;
        }
}

void TAudioMediaSettings::ApplyPreset(int32_t Index) {
    if (Index < 0 || Index >= PresetCount())
        return;
    TUpdateGuard Guard(Changes());
    SetPresetIndex(Index, MediaSettingsChangeAudio);
    if (Preset(Index).Apply(FBitsPerSample, FChannels, FSamplesPerSecond))
        Change(MediaSettingsChangeAudio);
}

TUsualAudioMediaSettings::TUsualAudioMediaSettings(TMediaSettings& Parent, std::string Name,
                                                   TAudioMediaSettingsHandler* Handler)
    : TAudioMediaSettings(Parent, std::move(Name), Handler) {
    ApplyPreset(0);
}

void TUsualAudioMediaSettings::Load(TData& Data) {
    int32_t Bits = Data.ReadInteger("BitCount", BitsPerSample()) > 11 ? 16 : 8;
    int32_t Count = Data.ReadInteger("ChannelCount", Channels()) > 1 ? 2 : 1;
    int32_t Rate = std::clamp(Data.ReadInteger("Frequency", SamplesPerSecond()), 8192, 96000);
    ApplyValues(Bits, Count, Rate);
    TAudioMediaSettings::Load(Data);
}

void TUsualAudioMediaSettings::Save(TData& Data) const {
    Data.WriteInteger("BitCount", BitsPerSample());
    Data.WriteInteger("ChannelCount", Channels());
    Data.WriteInteger("Frequency", SamplesPerSecond());
    TAudioMediaSettings::Save(Data);
}
