#pragma once

#include "project/item_setting.h"

#include <cstdint>

// The settings of clips and transitions, each pushing its value to the
// owner's render element (nothing while the owner has none).

// What a colour adjustment of a clip changes. A clip with video has the
// first four; the render element has no hue adjustment.
enum class TVideoAdjustment : uint8_t { Gamma, Brightness, Contrast, Saturation, Hue };

constexpr int32_t ClipVideoAdjustmentCount = 4;

// The colour adjustments of a clip with video, -100 to 100: gamma as a
// power of ten, brightness, contrast and saturation scaled to the element's
// -128 to 128.
class TAdjustVideoClipSetting : public TIntegerItemSetting {
public:
    TAdjustVideoClipSetting(TItem* Owner, TVideoAdjustment Type);
    std::string_view ClassName() const override { return "TAdjustVideoClipSetting"; }

    TVideoAdjustment Type() const { return FType; }
    void Apply() override;
    void StateChanged() override;

private:
    TVideoAdjustment FType;
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
