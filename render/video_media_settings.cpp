#include "render/video_media_settings.h"

#include "core/changes.h"
#include "core/data.h"
#include "core/text_table.h"
#include "render/media_settings_handler.h"
#include "render/media_settings_preset.h"

#include <algorithm>

TVideoMediaSettings::TVideoMediaSettings(TMediaSettings& Parent, std::string Name,
                                         TVideoMediaSettingsHandler* Handler)
    : TPresetsMediaSettings(Parent, std::move(Name), Handler) {}

void TVideoMediaSettings::SetValues(int32_t Width, int32_t Height, int32_t FramesPerSecond) {
    if (auto* Linked = static_cast<TVideoMediaSettingsHandler*>(Handler()))
        Linked->SetValues(Width, Height, FramesPerSecond);
    else
        ApplyValues(Width, Height, FramesPerSecond);
}

void TVideoMediaSettings::SetWidth(int32_t Value) {
    if (Value != FWidth)
        SetValues(Value, FHeight, FFramesPerSecond);
}

void TVideoMediaSettings::SetHeight(int32_t Value) {
    if (Value != FHeight)
        SetValues(FWidth, Value, FFramesPerSecond);
}

void TVideoMediaSettings::SetFramesPerSecond(int32_t Value) {
    if (Value != FFramesPerSecond)
        SetValues(FWidth, FHeight, Value);
}

bool TVideoMediaSettings::StoreValues(int32_t Width, int32_t Height, int32_t FramesPerSecond) {
    Width = std::clamp(Width, 1, MaxVideoSize);
    Height = std::clamp(Height, 1, MaxVideoSize);
    FramesPerSecond = std::clamp(FramesPerSecond, 1, MaxFramesPerSecond);
    if (Width == FWidth && Height == FHeight && FramesPerSecond == FFramesPerSecond)
        return false;
    FWidth = Width;
    FHeight = Height;
    FFramesPerSecond = FramesPerSecond;
    Change(MediaSettingsChangeVideo);
    return true;
}

void TVideoMediaSettings::SelectMatchingPreset() {
    for (int32_t I = 0; I < PresetCount(); ++I)
        if (Preset(I).Matches(FWidth, FHeight, FFramesPerSecond)) {
            SetPresetIndex(I, MediaSettingsChangeVideo);
            return;
        }
}

void TVideoMediaSettings::ApplyValues(int32_t Width, int32_t Height, int32_t FramesPerSecond) {
    TUpdateGuard Guard(Changes());
    StoreValues(Width, Height, FramesPerSecond);
    SelectMatchingPreset();
}

void TVideoMediaSettings::ApplyPreset(int32_t Index) {
    if (Index < 0 || Index >= PresetCount())
        return;
    TUpdateGuard Guard(Changes());
    SetPresetIndex(Index, MediaSettingsChangeVideo);
    int32_t Width = FWidth, Height = FHeight, Fps = FFramesPerSecond;
    if (Preset(Index).Apply(Width, Height, Fps))
        StoreValues(Width, Height, Fps);
}

TUsualVideoMediaSettings::TUsualVideoMediaSettings(TMediaSettings& Parent, std::string Name,
                                                   TVideoMediaSettingsHandler* Handler,
                                                   const TTimeline& Timeline,
                                                   TMediaOutputFormat OptimalFormat, bool Flag)
    : TVideoMediaSettings(Parent, std::move(Name), Handler) {
    AddPreset(std::make_unique<TOptimalVideoMediaSettingsPreset>(
        "Optimal", GetText(TTextSlot::VideoSettingsOptimal), Timeline, OptimalFormat, Flag));
    AddPreset(std::make_unique<TConstVideoMediaSettingsPreset>(
        "Small", GetText(TTextSlot::VideoSettingsSmall), 160, 120, 15));
    AddPreset(std::make_unique<TConstVideoMediaSettingsPreset>(
        "Medium", GetText(TTextSlot::VideoSettingsMedium), 320, 240, 25));
    AddPreset(std::make_unique<TConstVideoMediaSettingsPreset>(
        "Large", GetText(TTextSlot::VideoSettingsLarge), 640, 480, 25));
    AddPreset(std::make_unique<TConstVideoMediaSettingsPreset>(
        "NTSC", GetText(TTextSlot::VideoSettingsNtsc), 720, 480, 30));
    AddPreset(std::make_unique<TConstVideoMediaSettingsPreset>(
        "PAL", GetText(TTextSlot::VideoSettingsPal), 720, 576, 25));
    AddPreset(std::make_unique<TConstVideoMediaSettingsPreset>(
        "HD720", GetText(TTextSlot::VideoSettingsHd720), 1280, 720, 30));
    AddPreset(std::make_unique<TConstVideoMediaSettingsPreset>(
        "FullHD1080", GetText(TTextSlot::VideoSettingsFullHd), 1920, 1080, 30));
    AddPreset(std::make_unique<TConstVideoMediaSettingsPreset>(
        "UHD4K", GetText(TTextSlot::VideoSettingsUhd), 3840, 2160, 30));
    AddPreset(std::make_unique<TCustomVideoMediaSettingsPreset>(
        "Custom", GetText(TTextSlot::VideoSettingsCustom)));
    ApplyPreset(0);
}

void TUsualVideoMediaSettings::Load(TData& Data) {
    int32_t Width = std::clamp(Data.ReadInteger("Width", this->Width()), 1, MaxVideoSize);
    int32_t Height = std::clamp(Data.ReadInteger("Height", this->Height()), 1, MaxVideoSize);
    int32_t Fps = std::clamp(Data.ReadInteger("FPS", FramesPerSecond()), 1, MaxFramesPerSecond);
    ApplyValues(Width, Height, Fps);
    TVideoMediaSettings::Load(Data);
}

void TUsualVideoMediaSettings::Save(TData& Data) const {
    Data.WriteInteger("Width", Width());
    Data.WriteInteger("Height", Height());
    Data.WriteInteger("FPS", FramesPerSecond());
    TVideoMediaSettings::Save(Data);
}

TDVVideoMediaSettings::TDVVideoMediaSettings(TMediaSettings& Parent, std::string Name,
                                             TVideoMediaSettingsHandler* Handler)
    : TVideoMediaSettings(Parent, std::move(Name), Handler) {
    AddPreset(std::make_unique<TConstVideoMediaSettingsPreset>(
        "NTSC", GetText(TTextSlot::VideoSettingsNtsc), 720, 480, 30));
    AddPreset(std::make_unique<TConstVideoMediaSettingsPreset>(
        "PAL", GetText(TTextSlot::VideoSettingsPal), 720, 576, 25));
    ApplyPreset(0);
}

void TDVVideoMediaSettings::ApplyValues(int32_t Width, int32_t Height, int32_t FramesPerSecond) {
    for (int32_t I = 0; I < PresetCount(); ++I)
        if (Preset(I).Matches(Width, Height, FramesPerSecond)) {
            ApplyPreset(I);
            return;
        }
}

void TDVVideoMediaSettings::Load(TData& Data) {
    int32_t Index = FindPreset(Data.ReadString("Norm", ""));
    if (Index >= 0)
        ApplyPreset(Index);
    TVideoMediaSettings::Load(Data);
}

void TDVVideoMediaSettings::Save(TData& Data) const {
    if (PresetIndex() >= 0)
        Data.WriteString("Norm", Preset(PresetIndex()).Key());
    TVideoMediaSettings::Save(Data);
}
