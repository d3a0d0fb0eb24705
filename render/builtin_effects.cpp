#include "render/builtin_effects.h"

#include "core/text_table.h"
#include "render/category_description.h"
#include "render/descriptions.h"
#include "render/effect_description.h"
#include "render/element_property_description.h"

#include <initializer_list>
#include <memory>
#include <utility>

namespace {

using TProperty = std::unique_ptr<TElementPropertyDescription>;

constexpr TPropertyAccess Fixed = TPropertyAccess::Fixed;
constexpr TPropertyAccess Editable = TPropertyAccess::Editable;

// The key time of the element's end, and of 0.9 of its duration.
constexpr TVideoTime AtEnd = -KeyTimeFractionUnit;
constexpr TVideoTime AtNineTenths = -KeyTimeFractionUnit * 9 / 10;

std::unique_ptr<TElementPropertyValue>
Constant(double Value, TPropertyValueClass Class = TPropertyValueClass::Plain) {
    auto Result = NewPropertyValue(Class);
    Result->SetConstant(Value);
    return Result;
}

// Keys reached by straight ramps.
std::unique_ptr<TElementPropertyValue>
Ramp(std::initializer_list<std::pair<TVideoTime, double>> Keys,
     TPropertyValueClass Class = TPropertyValueClass::Plain) {
    auto Result = NewPropertyValue(Class);
    for (const auto& [Time, Value] : Keys)
        Result->AddKey(Time, Value);
    Result->SetInterpolation(TPropertyInterpolation::Interpolate);
    return Result;
}

TProperty FloatProperty(const char* Key, double Min, double Max, TPropertyAccess Access,
                        std::unique_ptr<TElementPropertyValue> Default,
                        const std::string& DisplayName = {}) {
    return TElementPropertyDescription::NewFloat(DisplayName, Key, Min, Max, 100, Access,
                                                 std::move(Default));
}

TProperty IntegerProperty(const char* Key, int32_t Min, int32_t Max, TPropertyAccess Access,
                          int32_t Default, const std::string& DisplayName = {}) {
    return TElementPropertyDescription::NewInteger(DisplayName, Key, Min, Max, Access, Default);
}

// The length of the part of its host a fade covers, in tenths of a second.
TProperty FadeLength() {
    return TElementPropertyDescription::NewFloat(GetText(TTextSlot::PropertyNameFadeLength),
                                                 "*FirstLastTime", 0.1, 5.0, 49, Editable,
                                                 Constant(1.5), TFloatUnit::Seconds);
}

TProperty FadeColor() {
    return TElementPropertyDescription::NewColor(GetText(TTextSlot::PropertyNameColor), "color",
                                                 Editable, -1);
}

TProperty BlockSize(int32_t Default) {
    return IntegerProperty("MaxSquare", 2, 50, Editable, Default,
                           GetText(TTextSlot::PropertyNameBlockSize));
}

// Registers one effect with up to three parameters, in order.
void AddEffect(TEffectDescriptions& Effects, int32_t Index, int32_t Category, TTextSlot Name,
               const TGuid& ClassId, uint8_t TimeFlags, int32_t CatalogueFlags,
               TProperty First = nullptr, TProperty Second = nullptr, TProperty Third = nullptr) {
    auto Effect = std::make_unique<TEffectDescription>(Index, GetText(Name), Category, ClassId,
                                                       TimeFlags, CatalogueFlags);
    for (TProperty* Property : {&First, &Second, &Third})
        if (*Property)
            Effect->AddProperty(std::move(*Property));
    Effects.Add(std::move(Effect));
}

} // namespace

void RegisterEffectCategories(TCategoryDescriptions& Categories) {
    Categories.Add("Color", GetText(TTextSlot::EffectCategoryColor));
    Categories.Add("Alpha", GetText(TTextSlot::EffectCategoryAlpha));
    Categories.Add("Misc", GetText(TTextSlot::EffectCategoryMisc));
    Categories.Add("Audio", GetText(TTextSlot::EffectCategoryAudio));
}

void RegisterEffects(TEffectDescriptions& Effects) {
    const TGuid Emboss = GuidFromText("{F515306D-0156-11D2-81EA-0000F87557DB}");
    const TGuid Engrave = GuidFromText("{F515306E-0156-11D2-81EA-0000F87557DB}");
    const TGuid Pixelate = GuidFromText("{4CCEA634-FBE0-11D1-906A-00C04FD9189D}");
    const TGuid BasicImage = GuidFromText("{16B280C8-EE70-11D1-9066-00C04FD9189D}");
    const TGuid Alpha = GuidFromText("{506D89AE-909A-44F7-9444-ABD575896E35}");
    const TGuid ColorFade = GuidFromText("{7DC190E2-5EC1-4C34-8C20-557802F70FD7}");
    const TGuid ColorAdjust = GuidFromText("{3EAEFC96-D6DE-4983-9C12-4FD78FC6BD4C}");
    const TGuid Audio = GuidFromText("{5DA2164A-15E4-410E-AF7E-70A4AED69F43}");
    const TGuid Volume = GuidFromText("{5A9C79CA-D283-4114-8BD0-1E6694727052}");
    constexpr auto VolumeClass = TPropertyValueClass::Volume;

    AddEffect(Effects, 1, 3, TTextSlot::EffectNameEmboss, Emboss, 0, 8);
    AddEffect(Effects, 2, 3, TTextSlot::EffectNameEngrave, Engrave, 0, 8);
    AddEffect(Effects, 3, 3, TTextSlot::EffectNamePixelate, Pixelate, 0, 9, BlockSize(50));
    AddEffect(Effects, 4, 3, TTextSlot::EffectNameMosaic, Pixelate, 0, 8, BlockSize(20),
              FloatProperty("Progress", 0, 1, Fixed, Constant(1.0)));
    AddEffect(Effects, 5, 3, TTextSlot::EffectNameMirror, BasicImage, 0, 8,
              TElementPropertyDescription::NewBoolean({}, "Mirror", Fixed, true));
    AddEffect(Effects, 6, 3, TTextSlot::EffectNameUpsideDown, BasicImage, 0, 8,
              IntegerProperty("Rotation", 0, 3, Fixed, 2));
    AddEffect(Effects, 7, 1, TTextSlot::EffectNameGrayscale, BasicImage, 0, 8,
              TElementPropertyDescription::NewBoolean({}, "Grayscale", Fixed, true));
    AddEffect(Effects, 8, 2, TTextSlot::EffectNameTransparency, Alpha, 0, 10,
              FloatProperty("AlphaRamp", 0, 1, Editable, Constant(0.5),
                            GetText(TTextSlot::PropertyNameOpacity)));
    AddEffect(Effects, 16, 2, TTextSlot::EffectNameFadeIn, Alpha, EffectTimeFirstPart, 43,
              FloatProperty("AlphaRamp", 0, 1, Fixed, Ramp({{0, 0.0}, {AtEnd, 1.0}})),
              FadeLength());
    AddEffect(Effects, 17, 2, TTextSlot::EffectNameFadeOut, Alpha, EffectTimeLastPart, 75,
              FloatProperty("AlphaRamp", 0, 1, Fixed, Ramp({{0, 1.0}, {AtEnd, 0.0}})),
              FadeLength());
    AddEffect(Effects, 18, 2, TTextSlot::EffectNameFadeInFromColor, ColorFade, EffectTimeFirstPart,
              41, FloatProperty("Progress", 0, 1, Fixed, Ramp({{0, 1.0}, {AtEnd, 0.0}})),
              FadeColor(), FadeLength());
    AddEffect(
        Effects, 19, 2, TTextSlot::EffectNameFadeOutToColor, ColorFade, EffectTimeLastPart, 73,
        FloatProperty("Progress", 0, 1, Fixed, Ramp({{0, 0.0}, {AtNineTenths, 1.0}, {AtEnd, 1.0}})),
        FadeColor(), FadeLength());
    AddEffect(Effects, 9, 1, TTextSlot::EffectNameDarker, ColorAdjust, 0, 8,
              IntegerProperty("brightness", -128, 128, Fixed, -32));
    AddEffect(Effects, 10, 1, TTextSlot::EffectNameBrighter, ColorAdjust, 0, 8,
              IntegerProperty("brightness", -128, 128, Fixed, 32));
    AddEffect(Effects, 11, 1, TTextSlot::EffectNameLessContrast, ColorAdjust, 0, 8,
              IntegerProperty("contrast", -128, 128, Fixed, -32));
    AddEffect(Effects, 12, 1, TTextSlot::EffectNameMoreContrast, ColorAdjust, 0, 8,
              IntegerProperty("contrast", -128, 128, Fixed, 32));
    AddEffect(Effects, 13, 1, TTextSlot::EffectNameLessSaturation, ColorAdjust, 0, 8,
              IntegerProperty("saturation", -128, 128, Fixed, -32));
    AddEffect(Effects, 14, 1, TTextSlot::EffectNameMoreSaturation, ColorAdjust, 0, 8,
              IntegerProperty("saturation", -128, 128, Fixed, 32));
    AddEffect(
        Effects, 15, 4, TTextSlot::EffectNameTremolo, Audio, 0, 17,
        IntegerProperty("freq", 1, 500, Editable, 10, GetText(TTextSlot::PropertyNameFrequency)),
        TElementPropertyDescription::NewEnumeration(
            GetText(TTextSlot::PropertyNameWaveForm), "form",
            {GetText(TTextSlot::PropertyOptionSine), GetText(TTextSlot::PropertyOptionSquare)},
            Editable, 0));
    AddEffect(Effects, 20, 4, TTextSlot::EffectNameAudioFadeIn, Volume, EffectTimeFirstPart, 49,
              FloatProperty("multivol", 0, 1, Fixed, Ramp({{0, 0.0}, {AtEnd, 1.0}}, VolumeClass)),
              FadeLength());
    AddEffect(Effects, 21, 4, TTextSlot::EffectNameAudioFadeOut, Volume, EffectTimeLastPart, 81,
              FloatProperty("multivol", 0, 1, Fixed, Ramp({{0, 1.0}, {AtEnd, 0.0}}, VolumeClass)),
              FadeLength());
    AddEffect(Effects, 22, 4, TTextSlot::EffectNameQuieter, Volume, 0, 17,
              FloatProperty("Vol", 0, 1, Fixed, Constant(0.25, VolumeClass)));
    // Louder goes beyond full volume, so its range does too.
    AddEffect(Effects, 23, 4, TTextSlot::EffectNameLouder, Volume, 0, 17,
              FloatProperty("Vol", 0, 2, Fixed, Constant(2.0, VolumeClass)));
    AddEffect(Effects, 24, 4, TTextSlot::EffectNameSilence, Volume, 0, 17,
              FloatProperty("Vol", 0, 1, Fixed, Constant(0.0, VolumeClass)));
}
