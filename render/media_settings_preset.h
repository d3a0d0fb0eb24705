#pragma once

#include "core/object.h"

#include <cstdint>
#include <string>

class TTimeline;
enum class TMediaOutputFormat : uint8_t;

// A named choice of values offered by a presets setting: "Small", "PAL",
// "Optimal", ... The key is stored and matched; the display name is shown.
// A preset works on three values: width, height and frames per second for
// video (bits, channels and samples per second for audio).
class TMediaSettingsPreset : public TObject {
public:
    TMediaSettingsPreset(std::string Key, std::string DisplayName)
        : FKey(std::move(Key)), FDisplayName(std::move(DisplayName)) {}
    std::string_view ClassName() const override { return "TMediaSettingsPreset"; }

    const std::string& Key() const { return FKey; }
    const std::string& DisplayName() const { return FDisplayName; }

    virtual bool Matches(int32_t Width, int32_t Height, int32_t FramesPerSecond) const;
    // Writes the preset's values; true when any of them changed.
    virtual bool Apply(int32_t& Width, int32_t& Height, int32_t& FramesPerSecond) const;

private:
    std::string FKey;
    std::string FDisplayName;
};

// Fixed values, matched exactly.
class TConstVideoMediaSettingsPreset : public TMediaSettingsPreset {
public:
    TConstVideoMediaSettingsPreset(std::string Key, std::string DisplayName, int32_t Width,
                                   int32_t Height, int32_t FramesPerSecond);
    std::string_view ClassName() const override { return "TConstVideoMediaSettingsPreset"; }
    bool Matches(int32_t Width, int32_t Height, int32_t FramesPerSecond) const override;
    bool Apply(int32_t& Width, int32_t& Height, int32_t& FramesPerSecond) const override;

    int32_t Width() const { return FWidth; }
    int32_t Height() const { return FHeight; }
    int32_t FramesPerSecond() const { return FFramesPerSecond; }

private:
    int32_t FWidth;
    int32_t FHeight;
    int32_t FFramesPerSecond;
};

// The optimal format of the timeline's media for an output format, computed
// each time it is asked (so re-applying it follows the project). While the
// timeline holds no video media it neither matches nor applies.
class TOptimalVideoMediaSettingsPreset : public TMediaSettingsPreset {
public:
    // Timeline must outlive the preset.
    TOptimalVideoMediaSettingsPreset(std::string Key, std::string DisplayName,
                                     const TTimeline& Timeline, TMediaOutputFormat Format,
                                     bool Flag);
    std::string_view ClassName() const override { return "TOptimalVideoMediaSettingsPreset"; }
    bool Matches(int32_t Width, int32_t Height, int32_t FramesPerSecond) const override;
    bool Apply(int32_t& Width, int32_t& Height, int32_t& FramesPerSecond) const override;

private:
    // False when the timeline's media have no video.
    bool Optimal(int32_t& Width, int32_t& Height, int32_t& FramesPerSecond) const;

    const TTimeline& FTimeline;
    TMediaOutputFormat FFormat;
    bool FFlag;
};

// Whatever the user typed: matches everything, applies nothing. Listed last,
// it catches the values no other preset matches.
class TCustomVideoMediaSettingsPreset : public TMediaSettingsPreset {
public:
    using TMediaSettingsPreset::TMediaSettingsPreset;
    std::string_view ClassName() const override { return "TCustomVideoMediaSettingsPreset"; }
    bool Matches(int32_t, int32_t, int32_t) const override { return true; }
};
