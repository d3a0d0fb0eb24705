#pragma once

#include "render/presets_media_settings.h"

#include <cstdint>

class TTimeline;
class TVideoMediaSettingsHandler;
enum class TMediaOutputFormat : uint8_t;

// The limits every video setting keeps to, so that no empty picture or
// frame rate reaches the engine.
constexpr int32_t MaxVideoSize = 4096;
constexpr int32_t MaxFramesPerSecond = 200;

// The picture of an output kind: width, height and frames per second. The
// Set... operations are the user's and go through the handler to every
// linked video setting; ApplyValues acts on this setting alone.
class TVideoMediaSettings : public TPresetsMediaSettings {
public:
    std::string_view ClassName() const override { return "TVideoMediaSettings"; }

    int32_t Width() const { return FWidth; }
    int32_t Height() const { return FHeight; }
    int32_t FramesPerSecond() const { return FFramesPerSecond; }

    // Each only when the value differs.
    void SetWidth(int32_t Value);
    void SetHeight(int32_t Value);
    void SetFramesPerSecond(int32_t Value);

    // Stores the values, clamped to 1..4096 and 1..200, then makes the first
    // matching preset current.
    virtual void ApplyValues(int32_t Width, int32_t Height, int32_t FramesPerSecond);
    void ApplyPreset(int32_t Index) override;

protected:
    TVideoMediaSettings(TMediaSettings& Parent, std::string Name,
                        TVideoMediaSettingsHandler* Handler);
    void SetValues(int32_t Width, int32_t Height, int32_t FramesPerSecond);
    // True when the values changed.
    bool StoreValues(int32_t Width, int32_t Height, int32_t FramesPerSecond);
    void SelectMatchingPreset();

private:
    int32_t FWidth = 320;
    int32_t FHeight = 240;
    int32_t FFramesPerSecond = 25;
};

// The video settings of AVI, MP4 and WMV: "Optimal" for the project, the
// fixed sizes, and "Custom" for anything typed. Stored as "Width", "Height"
// and "FPS".
class TUsualVideoMediaSettings : public TVideoMediaSettings {
public:
    // Timeline must outlive the setting; OptimalFormat and Flag say which
    // output format the "Optimal" preset snaps to.
    TUsualVideoMediaSettings(TMediaSettings& Parent, std::string Name,
                             TVideoMediaSettingsHandler* Handler, const TTimeline& Timeline,
                             TMediaOutputFormat OptimalFormat, bool Flag);
    std::string_view ClassName() const override { return "TUsualVideoMediaSettings"; }
    void Load(TData& Data) override;
    void Save(TData& Data) const override;
};

// DV: only "NTSC" and "PAL". Values from linked settings are taken only
// when they are one of these, so a custom size typed for another kind never
// reaches DV. Stored as "Norm", the key of the current preset.
class TDVVideoMediaSettings : public TVideoMediaSettings {
public:
    TDVVideoMediaSettings(TMediaSettings& Parent, std::string Name,
                          TVideoMediaSettingsHandler* Handler);
    std::string_view ClassName() const override { return "TDVVideoMediaSettings"; }
    void ApplyValues(int32_t Width, int32_t Height, int32_t FramesPerSecond) override;
    void Load(TData& Data) override;
    void Save(TData& Data) const override;
};
