#pragma once

#include "project/item_setting.h"

#include <cstdint>

// The settings of clips and transitions, each pushing its value to the
// owner's render element (nothing while the owner has none).

// The colour adjustments of a clip with video, -100 to 100: gamma (type 0)
// as a power of ten, brightness, contrast and saturation (1 to 3) scaled to
// the element's -128 to 128, hue (4).
class TAdjustVideoClipSetting : public TIntegerItemSetting {
public:
    TAdjustVideoClipSetting(TItem* Owner, uint8_t Type);
    std::string_view ClassName() const override { return "TAdjustVideoClipSetting"; }

    uint8_t Type() const { return FType; }
    void Apply() override;
    void StateChanged() override;

private:
    uint8_t FType;
};

// The colour a still shows around its picture and beneath its transparent
// parts; created only for clips whose element keeps one.
class TBackgroundColorClipSetting : public TColorItemSetting {
public:
    // Opaque white for a clip without element (a clip whose media is missing
    // keeps what its record stored).
    static constexpr TColor NoElementColor = 0xFFFFFFFFu;

    explicit TBackgroundColorClipSetting(TItem* Owner);
    std::string_view ClassName() const override { return "TBackgroundColorClipSetting"; }
    void Apply() override;
    // Stores the colour and gives it to the element, with no undo record
    // and no signal: for when the colour is chosen with the clip itself
    // (a picture inserted on an overlay track), not by the user.
    void SetValueRaw(TColor NewValue);
};

class TMuteClipSetting : public TBoolItemSetting {
public:
    explicit TMuteClipSetting(TItem* Owner);
    std::string_view ClassName() const override { return "TMuteClipSetting"; }
    void Apply() override;
};

class TVolumeClipSetting : public TVolumeItemSetting {
public:
    explicit TVolumeClipSetting(TItem* Owner);
    std::string_view ClassName() const override { return "TVolumeClipSetting"; }
    void Apply() override;
};

class TReverseTransitionSetting : public TBoolItemSetting {
public:
    explicit TReverseTransitionSetting(TItem* Owner);
    std::string_view ClassName() const override { return "TReverseTransitionSetting"; }
    void Apply() override;
};
