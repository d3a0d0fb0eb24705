#include "render/compression_media_settings.h"

#include "core/changes.h"
#include "core/data.h"
#include "platform/media/media_writer.h"
#include "render/media_settings_handler.h"
#include "render/output_presets.h"

#include <algorithm>
#include <cstdlib>

namespace {

TSliderDefinition Numbers(std::vector<int32_t> Values) {
    TSliderDefinition Definition;
    Definition.Minimum = Values.front();
    Definition.Maximum = Values.back();
    Definition.Numbers = std::move(Values);
    return Definition;
}

TSliderDefinition Range(int32_t Minimum, int32_t Maximum) {
    TSliderDefinition Definition;
    Definition.Minimum = Minimum;
    Definition.Maximum = Maximum;
    return Definition;
}

struct TOptimalKind {
    bool HasVideo;
    uint8_t AudioPreset;
};

TOptimalKind OptimalKind(const TTimeline& Timeline, TMediaOutputFormat Format) {
    TVideoFormat Video;
    TAudioFormat Audio;
    GetOptimalFormat(Timeline, Format, false, Video, Audio);
    return {Video.Preset != VideoPresetNone, Audio.Preset};
}

bool IsWindowsMedia(TMediaOutputFormat Format) {
    return Format == TMediaOutputFormat::WindowsMediaVideo ||
           Format == TMediaOutputFormat::WindowsMediaAudio;
}

} // namespace

TSliderDefinition QualitySliderDefinition(TMediaOutputFormat Format, bool HasVideo,
                                          uint8_t AudioPreset) {
    if (IsWindowsMedia(Format)) {
        if (HasVideo)
            return Numbers({1,  4,  8,  11, 15, 18, 22, 25, 29, 33, 36, 40, 43, 47, 50,
                            54, 58, 61, 65, 68, 72, 75, 79, 83, 86, 90, 93, 97, 100});
        // The variable-rate quality levels of the audio codec.
        if (AudioPreset == AudioPresetBetterThanCd)
            return Numbers({90, 98});
        return Numbers({10, 25, 50, 75, 90, 98});
    }
    if (HasVideo)
        return Numbers({0,  1,  2,  3,  4,  5,  6,  7,  8,  10, 12, 14, 16, 20, 25,
                        30, 35, 40, 45, 50, 55, 60, 65, 70, 75, 80, 85, 90, 95, 100});
    std::vector<int32_t> Steps;
    for (int32_t Value = 10; Value <= 100; Value += 5)
        Steps.push_back(Value);
    return Numbers(std::move(Steps));
}

TSliderDefinition BitRateSliderDefinition(TMediaOutputFormat Format, bool HasVideo) {
    // Windows Media video always has its video range; Windows Media audio
    // never has one; the others follow the project.
    bool Video = Format == TMediaOutputFormat::WindowsMediaVideo ||
                 (HasVideo && Format != TMediaOutputFormat::WindowsMediaAudio);
    return Range(1024, Video ? 2048000 : 393216);
}

int32_t SnapToSlider(const TSliderDefinition& Definition, int32_t Value) {
    if (Definition.Numbers.empty())
        return std::clamp(Value, Definition.Minimum, Definition.Maximum);
    int32_t Best = Definition.Numbers.front();
    for (int32_t Number : Definition.Numbers)
        if (std::llabs(int64_t(Number) - Value) < std::llabs(int64_t(Best) - Value))
            Best = Number;
    return Best;
}

TCompressionMediaSettings::TCompressionMediaSettings(TMediaSettings& Parent, std::string Name,
                                                     TCompressionMediaSettingsHandler* Handler,
                                                     int32_t DefaultValue)
    : THandledMediaSettings(Parent, std::move(Name), Handler),
      FRequested(std::max(DefaultValue, 1)) {}

TSliderDefinition TCompressionMediaSettings::GetSliderDefinition() const {
    return {};
}

void TCompressionMediaSettings::UpdateValue() {
    int32_t Value = SnapToSlider(FSlider, FRequested);
    if (Value == FValue)
        return;
    FValue = Value;
    Change(MediaSettingsChangeCompression);
}

void TCompressionMediaSettings::SetValue(int32_t Value) {
    if (Value == FValue)
        return;
    if (auto* Linked = static_cast<TCompressionMediaSettingsHandler*>(Handler()))
        Linked->SetValue(Value);
    else
        ApplyValue(Value);
}

void TCompressionMediaSettings::ApplyValue(int32_t Value) {
    FRequested = std::max(Value, 1);
    UpdateValue();
}

void TCompressionMediaSettings::Refresh() {
    TUpdateGuard Guard(Changes());
    TSliderDefinition Slider = GetSliderDefinition();
    if (!(Slider == FSlider)) {
        FSlider = std::move(Slider);
        Change(MediaSettingsChangeCompression);
    }
    UpdateValue();
}

void TCompressionMediaSettings::Load(TData& Data) {
    ApplyValue(std::max(Data.ReadInteger("Value", FRequested), 1));
    THandledMediaSettings::Load(Data);
}

void TCompressionMediaSettings::Save(TData& Data) const {
    Data.WriteInteger("Value", FRequested);
    THandledMediaSettings::Save(Data);
}

TBitRateCompressionMediaSettings::TBitRateCompressionMediaSettings(
    TMediaSettings& Parent, std::string Name, TCompressionMediaSettingsHandler* Handler,
    const TTimeline& Timeline, TMediaOutputFormat Format)
    : TCompressionMediaSettings(Parent, std::move(Name), Handler, 131072), FTimeline(Timeline),
      FFormat(Format) {
    Refresh();
}

TSliderDefinition TBitRateCompressionMediaSettings::GetSliderDefinition() const {
    return BitRateSliderDefinition(FFormat, OptimalKind(FTimeline, FFormat).HasVideo);
}

TQualityCompressionMediaSettings::TQualityCompressionMediaSettings(
    TMediaSettings& Parent, std::string Name, TCompressionMediaSettingsHandler* Handler,
    const TTimeline& Timeline, TMediaOutputFormat Format)
    : TCompressionMediaSettings(Parent, std::move(Name), Handler, 90), FTimeline(Timeline),
      FFormat(Format) {
    Refresh();
}

TSliderDefinition TQualityCompressionMediaSettings::GetSliderDefinition() const {
    TOptimalKind Kind = OptimalKind(FTimeline, FFormat);
    return QualitySliderDefinition(FFormat, Kind.HasVideo, Kind.AudioPreset);
}
