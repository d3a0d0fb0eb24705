#pragma once

#include "render/presets_media_settings.h"

class TAudioMediaSettingsHandler;

// The audio format of an output kind: bits per sample, channels and samples
// per second. No audio presets are offered, so the current preset is none.
class TAudioMediaSettings : public TPresetsMediaSettings {
public:
    std::string_view ClassName() const override { return "TAudioMediaSettings"; }

    int32_t BitsPerSample() const { return FBitsPerSample; }
    int32_t Channels() const { return FChannels; }
    int32_t SamplesPerSecond() const { return FSamplesPerSecond; }

    // Stores the values (locally), then makes the first matching preset
    // current, if any.
    void ApplyValues(int32_t BitsPerSample, int32_t Channels, int32_t SamplesPerSecond);
    void ApplyPreset(int32_t Index) override;

protected:
    TAudioMediaSettings(TMediaSettings& Parent, std::string Name,
                        TAudioMediaSettingsHandler* Handler);

private:
    int32_t FBitsPerSample = 16;
    int32_t FChannels = 2;
    int32_t FSamplesPerSecond = 44100;
};

// The audio settings of AVI, MP4, WMA and WMV, stored as "BitCount" (8 or
// 16), "ChannelCount" (1 or 2) and "Frequency" (8192..96000).
class TUsualAudioMediaSettings : public TAudioMediaSettings {
public:
    TUsualAudioMediaSettings(TMediaSettings& Parent, std::string Name,
                             TAudioMediaSettingsHandler* Handler);
    std::string_view ClassName() const override { return "TUsualAudioMediaSettings"; }
    void Load(TData& Data) override;
    void Save(TData& Data) const override;
};
