#pragma once

#include "project/item_setting.h"

class TTrack;

// The settings of a track: mute and volume for tracks that carry audio, the
// background colour for video tracks. Each pushes its value to the track's
// render track.

class TMuteTrackSetting : public TBoolItemSetting {
public:
    explicit TMuteTrackSetting(TItem* Owner);
    std::string_view ClassName() const override { return "TMuteTrackSetting"; }
    void Apply() override;
};

class TVolumeTrackSetting : public TVolumeItemSetting {
public:
    explicit TVolumeTrackSetting(TItem* Owner);
    std::string_view ClassName() const override { return "TVolumeTrackSetting"; }
    void Apply() override;
};

class TBackgroundColorTrackSetting : public TColorItemSetting {
public:
    explicit TBackgroundColorTrackSetting(TItem* Owner);
    std::string_view ClassName() const override { return "TBackgroundColorTrackSetting"; }
    void Apply() override;
};
