#pragma once

#include "render/media_settings.h"

#include <cstdint>
#include <vector>

class TCompressionMediaSettingsHandler;
class TTimeline;
enum class TMediaOutputFormat : uint8_t;

// The values a compression slider allows: the numbers it steps through
// (when there are any, the minimum and maximum are the first and last), or
// else any value from the minimum to the maximum.
struct TSliderDefinition {
    std::vector<int32_t> Numbers;
    int32_t Minimum = 1;
    int32_t Maximum = 2147483647;
    bool operator==(const TSliderDefinition&) const = default;
};

// The quality slider of an output format (Windows Media video or audio, MP4,
// compressed AVI). HasVideo: the project's optimal format has video;
// AudioPreset: its audio preset for that format.
TSliderDefinition QualitySliderDefinition(TMediaOutputFormat Format, bool HasVideo,
                                          uint8_t AudioPreset);
// The bit-rate range of an output format, in bits per second.
TSliderDefinition BitRateSliderDefinition(TMediaOutputFormat Format, bool HasVideo);

// The number of Definition nearest to Value (the first of equally near
// ones), or Value clamped to the range when there are no numbers.
int32_t SnapToSlider(const TSliderDefinition& Definition, int32_t Value);

// A bit rate or a quality: the value the user asked for (at least 1) and
// the effective value, that value fitted to the slider of the output format
// as the project stands. SetValue is the user's and goes through the handler;
// ApplyValue acts on this setting alone. Stored as "Value", the requested one.
class TCompressionMediaSettings : public THandledMediaSettings {
public:
    std::string_view ClassName() const override { return "TCompressionMediaSettings"; }

    int32_t Value() const { return FValue; }
    int32_t RequestedValue() const { return FRequested; }
    const TSliderDefinition& SliderDefinition() const { return FSlider; }
    virtual TSliderDefinition GetSliderDefinition() const;

    // Only when Value differs from the effective value.
    void SetValue(int32_t Value);
    virtual void ApplyValue(int32_t Value);
    // Recomputes the slider (the project's media may have changed) and the
    // effective value.
    void Refresh();

    void Load(TData& Data) override;
    void Save(TData& Data) const override;

protected:
    TCompressionMediaSettings(TMediaSettings& Parent, std::string Name,
                              TCompressionMediaSettingsHandler* Handler, int32_t DefaultValue);
    void UpdateValue();

private:
    int32_t FRequested;
    TSliderDefinition FSlider;
    int32_t FValue = 0;
};

// Bits per second, 131072 by default, for an output format.
class TBitRateCompressionMediaSettings : public TCompressionMediaSettings {
public:
    // Timeline must outlive the setting.
    TBitRateCompressionMediaSettings(TMediaSettings& Parent, std::string Name,
                                     TCompressionMediaSettingsHandler* Handler,
                                     const TTimeline& Timeline, TMediaOutputFormat Format);
    std::string_view ClassName() const override { return "TBitRateCompressionMediaSettings"; }
    TSliderDefinition GetSliderDefinition() const override;

private:
    const TTimeline& FTimeline;
    TMediaOutputFormat FFormat;
};

// A quality in percent, 90 by default, for an output format.
class TQualityCompressionMediaSettings : public TCompressionMediaSettings {
public:
    // Timeline must outlive the setting.
    TQualityCompressionMediaSettings(TMediaSettings& Parent, std::string Name,
                                     TCompressionMediaSettingsHandler* Handler,
                                     const TTimeline& Timeline, TMediaOutputFormat Format);
    std::string_view ClassName() const override { return "TQualityCompressionMediaSettings"; }
    TSliderDefinition GetSliderDefinition() const override;

private:
    const TTimeline& FTimeline;
    TMediaOutputFormat FFormat;
};
