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

const char* AdjustKey(TVideoAdjustment Type) {
    switch (Type) {
    case TVideoAdjustment::Gamma:
        return "Gamma";
    case TVideoAdjustment::Brightness:
        return "Brightness";
    case TVideoAdjustment::Contrast:
        return "Contrast";
    case TVideoAdjustment::Saturation:
        return "Saturation";
    case TVideoAdjustment::Hue:
        return "Hue";
    }
    return "?";
}

std::string AdjustCaption(TVideoAdjustment Type) {
    switch (Type) {
    case TVideoAdjustment::Gamma:
        return GetText(TTextSlot::GammaCaption);
    case TVideoAdjustment::Brightness:
        return GetText(TTextSlot::BrightnessCaption);
    case TVideoAdjustment::Contrast:
        return GetText(TTextSlot::ContrastCaption);
    case TVideoAdjustment::Saturation:
        return GetText(TTextSlot::SaturationCaption);
    case TVideoAdjustment::Hue:
        return GetText(TTextSlot::HueCaption);
    }
    return GetText(TTextSlot::HueCaption);
}

int32_t InitialAdjust(TItem* Owner, TVideoAdjustment Type) {
    const TClipElement* Element = ClipElementOf(Owner);
    if (!Element)
        return 0;
    switch (Type) {
    case TVideoAdjustment::Gamma:
        return static_cast<int32_t>(std::lround(std::log10(Element->Gamma()) * 100));
    case TVideoAdjustment::Brightness:
        return Element->Brightness();
    case TVideoAdjustment::Contrast:
        return Element->Contrast();
    case TVideoAdjustment::Saturation:
        return Element->Saturation();
    case TVideoAdjustment::Hue:
        return 0;
    }
    return 0;
}

} // namespace

TAdjustVideoClipSetting::TAdjustVideoClipSetting(TItem* Owner, TVideoAdjustment Type)
    : TIntegerItemSetting(Owner, AdjustKey(Type), AdjustCaption(Type), InitialAdjust(Owner, Type),
                          -100, 100, 0),
      FType(Type) {}

void TAdjustVideoClipSetting::Apply() {
    if (TClipElement* Element = ClipElementOf(Owner())) {
        switch (FType) {
        case TVideoAdjustment::Gamma:
            Element->SetGamma(std::pow(10.0, FValue / 100.0));
            break;
        case TVideoAdjustment::Brightness:
            Element->SetBrightness(MulDivRound(FValue, 128, 100));
            break;
        case TVideoAdjustment::Contrast:
            Element->SetContrast(MulDivRound(FValue, 128, 100));
            break;
        case TVideoAdjustment::Saturation:
            Element->SetSaturation(MulDivRound(FValue, 128, 100));
            break;
        case TVideoAdjustment::Hue:
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
