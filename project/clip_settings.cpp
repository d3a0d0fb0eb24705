#include "project/clip_settings.h"

#include "core/numbers.h"
#include "core/text_table.h"
#include "project/clip.h"
#include "project/project_changes.h"
#include "project/transition.h"
#include "render/clip_element.h"
#include "render/transition_element.h"

#include <cmath>

namespace {

TClipElement* ClipElementOf(TItem* Owner) {
    return static_cast<TClip*>(Owner)->ClipElement();
}

void Signal(TProjectChanges* Changes, TProjectChangeFlags Flags) {
    if (Changes)
        Changes->Change(Flags);
}

const char* AdjustKey(uint8_t Type) {
    static const char* const Keys[] = {"Gamma", "Brightness", "Contrast", "Saturation", "Hue"};
    return Type < 5 ? Keys[Type] : "?";
}

std::string AdjustCaption(uint8_t Type) {
    switch (Type) {
    case 0:
        return GetText(TTextSlot::GammaCaption);
    case 1:
        return GetText(TTextSlot::BrightnessCaption);
    case 2:
        return GetText(TTextSlot::ContrastCaption);
    case 3:
        return GetText(TTextSlot::SaturationCaption);
    default:
        return GetText(TTextSlot::HueCaption);
    }
}

int32_t InitialAdjust(TItem* Owner, uint8_t Type) {
    const TClipElement* Element = ClipElementOf(Owner);
    if (!Element)
        return 0;
    switch (Type) {
    case 0:
        return static_cast<int32_t>(std::lround(std::log10(Element->Gamma()) * 100));
    case 1:
        return Element->Brightness();
    case 2:
        return Element->Contrast();
    case 3:
        return Element->Saturation();
    default:
        return 0;
    }
}

} // namespace

TAdjustVideoClipSetting::TAdjustVideoClipSetting(TItem* Owner, uint8_t Type)
    : TIntegerItemSetting(Owner, AdjustKey(Type), AdjustCaption(Type), InitialAdjust(Owner, Type),
                          -100, 100, 0),
      FType(Type) {}

void TAdjustVideoClipSetting::Apply() {
    if (TClipElement* Element = ClipElementOf(Owner())) {
        switch (FType) {
        case 0:
            Element->SetGamma(std::pow(10.0, FValue / 100.0));
            break;
        case 1:
            Element->SetBrightness(MulDivRound(FValue, 128, 100));
            break;
        case 2:
            Element->SetContrast(MulDivRound(FValue, 128, 100));
            break;
        case 3:
            Element->SetSaturation(MulDivRound(FValue, 128, 100));
            break;
        default:
            break; // the render element has no hue adjustment
        }
    }
    Signal(Changes(), ProjectChangeSettings);
}

void TAdjustVideoClipSetting::StateChanged() {
    Signal(Changes(), ProjectChangeSettings);
}

TBackgroundColorClipSetting::TBackgroundColorClipSetting(TItem* Owner)
    : TColorItemSetting(Owner, "Background.Color", GetText(TTextSlot::BackgroundColorCaption),
                        ClipElementOf(Owner) ? ClipElementOf(Owner)->BackgroundColor()
                                             : NoElementColor) {}

void TBackgroundColorClipSetting::Apply() {
    if (TClipElement* Element = ClipElementOf(Owner()))
        Element->SetBackgroundColor(FValue);
    Signal(Changes(), ProjectChangeSettings);
}

void TBackgroundColorClipSetting::SetValueRaw(TColor NewValue) {
    FValue = NewValue;
    if (TClipElement* Element = ClipElementOf(Owner()))
        Element->SetBackgroundColor(FValue);
}

TMuteClipSetting::TMuteClipSetting(TItem* Owner)
    : TBoolItemSetting(Owner, "Mute", GetText(TTextSlot::MuteCaption), false) {}

void TMuteClipSetting::Apply() {
    if (TClipElement* Element = ClipElementOf(Owner()))
        Element->SetMuted(FValue);
    Signal(Changes(), ProjectChangeSettings);
}

TVolumeClipSetting::TVolumeClipSetting(TItem* Owner)
    : TVolumeItemSetting(Owner, "Volume", GetText(TTextSlot::VolumeCaption),
                         ClipElementOf(Owner) ? ClipElementOf(Owner)->Volume() * 100 : 0) {}

void TVolumeClipSetting::Apply() {
    if (TClipElement* Element = ClipElementOf(Owner()))
        Element->SetVolume(FValue / 100.0);
    Signal(Changes(), ProjectChangeSettings);
}

namespace {

TTransitionElement* TransitionElementOf(TItem* Owner) {
    return static_cast<TTransition*>(Owner)->TransitionElement();
}

} // namespace

TReverseTransitionSetting::TReverseTransitionSetting(TItem* Owner)
    : TBoolItemSetting(Owner, "IsReverse", GetText(TTextSlot::ReverseCaption),
                       TransitionElementOf(Owner) && TransitionElementOf(Owner)->Reverse()) {}

void TReverseTransitionSetting::Apply() {
    if (TTransitionElement* Element = TransitionElementOf(Owner()))
        Element->SetReverse(FValue);
    Signal(Changes(), ProjectChangeSettings);
}
