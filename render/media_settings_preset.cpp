#include "render/media_settings_preset.h"

#include "render/output_presets.h"
#include "render/video_format.h"

#include <cmath>

bool TMediaSettingsPreset::Matches(int32_t, int32_t, int32_t) const {
    return false;
}

bool TMediaSettingsPreset::Apply(int32_t&, int32_t&, int32_t&) const {
    return false;
}

namespace {

bool Store(int32_t Width, int32_t Height, int32_t Fps, int32_t& ToWidth, int32_t& ToHeight,
           int32_t& ToFps) {
    bool Changed = Width != ToWidth || Height != ToHeight || Fps != ToFps;
    ToWidth = Width;
    ToHeight = Height;
    ToFps = Fps;
    return Changed;
}

} // namespace

TConstVideoMediaSettingsPreset::TConstVideoMediaSettingsPreset(std::string Key,
                                                               std::string DisplayName,
                                                               int32_t Width, int32_t Height,
                                                               int32_t FramesPerSecond)
    : TMediaSettingsPreset(std::move(Key), std::move(DisplayName)), FWidth(Width), FHeight(Height),
      FFramesPerSecond(FramesPerSecond) {}

bool TConstVideoMediaSettingsPreset::Matches(int32_t Width, int32_t Height,
                                             int32_t FramesPerSecond) const {
    return Width == FWidth && Height == FHeight && FramesPerSecond == FFramesPerSecond;
}

bool TConstVideoMediaSettingsPreset::Apply(int32_t& Width, int32_t& Height,
                                           int32_t& FramesPerSecond) const {
    return Store(FWidth, FHeight, FFramesPerSecond, Width, Height, FramesPerSecond);
}

TOptimalVideoMediaSettingsPreset::TOptimalVideoMediaSettingsPreset(std::string Key,
                                                                   std::string DisplayName,
                                                                   const TTimeline& Timeline,
                                                                   TMediaOutputFormat Format,
                                                                   bool Flag)
    : TMediaSettingsPreset(std::move(Key), std::move(DisplayName)), FTimeline(Timeline),
      FFormat(Format), FFlag(Flag) {}

bool TOptimalVideoMediaSettingsPreset::Optimal(int32_t& Width, int32_t& Height,
                                               int32_t& FramesPerSecond) const {
    TVideoFormat Video;
    TAudioFormat Audio;
    GetOptimalFormat(FTimeline, FFormat, FFlag, Video, Audio);
    if (Video.Preset == VideoPresetNone)
        return false;
    Width = Video.Width;
    Height = Video.Height;
    FramesPerSecond = static_cast<int32_t>(std::lround(Video.FramesPerSecond));
    return true;
}

bool TOptimalVideoMediaSettingsPreset::Matches(int32_t Width, int32_t Height,
                                               int32_t FramesPerSecond) const {
    int32_t W, H, Fps;
    return Optimal(W, H, Fps) && W == Width && H == Height && Fps == FramesPerSecond;
}

bool TOptimalVideoMediaSettingsPreset::Apply(int32_t& Width, int32_t& Height,
                                             int32_t& FramesPerSecond) const {
    int32_t W, H, Fps;
    return Optimal(W, H, Fps) && Store(W, H, Fps, Width, Height, FramesPerSecond);
}
