#include "render/element_property_value.h"

#include "core/error.h"
#include "core/numbers.h"
#include "core/text.h"
#include "core/text_table.h"
#include "platform/media/property_setter.h"

#include <algorithm>
#include <cmath>
#include <limits>

TElementPropertyValue::~TElementPropertyValue() = default;

std::unique_ptr<TElementPropertyValue> TElementPropertyValue::Clone() const {
    auto Copy = NewPropertyValue(ValueClass());
    Copy->CopyKeys(*this);
    return Copy;
}

void TElementPropertyValue::CopyKeys(const TElementPropertyValue& Source) {
    FKeyTimes = Source.FKeyTimes;
    FValues = Source.FValues;
    FInterpolation = Source.FInterpolation;
}

TPropertyVariant TElementPropertyValue::FirstValue() const {
    return FValues.empty() ? TPropertyVariant() : FValues.front();
}

void TElementPropertyValue::AddKey(TVideoTime Time, const TPropertyVariant& Value) {
    FKeyTimes.push_back(Time);
    FValues.push_back(Value);
}

void TElementPropertyValue::SetConstant(const TPropertyVariant& Value) {
    Clear();
    if (!IsEmptyVariant(Value))
        AddKey(0, Value);
}

void TElementPropertyValue::Clear() {
    FKeyTimes.clear();
    FValues.clear();
    FInterpolation = TPropertyInterpolation::Jump;
}

bool TElementPropertyValue::IsConstant(const TPropertyVariant& Value) const {
    return FKeyTimes.size() == 1 && FKeyTimes.front() == 0 && SameVariant(FValues.front(), Value);
}

bool TElementPropertyValue::SameKeys(const TElementPropertyValue& Other) const {
    if (FKeyTimes != Other.FKeyTimes || FInterpolation != Other.FInterpolation)
        return false;
    for (size_t I = 0; I < FValues.size(); ++I)
        if (!SameVariant(FValues[I], Other.FValues[I]))
            return false;
    return true;
}

void TElementPropertyValue::WriteTo(TPropertySetter& Setter, std::string_view Name,
                                    TVideoTime Start, TVideoTime Duration) const {
    if (StartsWithText(Name, "*") || FKeyTimes.empty())
        return;
    std::vector<TVideoTime> Offsets;
    Offsets.reserve(FKeyTimes.size());
    for (TVideoTime Time : FKeyTimes)
        Offsets.push_back(KeyTimeOffset(Time, Duration));
    if (!std::is_sorted(Offsets.begin(), Offsets.end()))
        throw EError(FormatMessageText(GetText(TTextSlot::PropertyKeyOrderError), Name));
    std::vector<TPropertyVariant> Values = FValues;
    TransformValues(Offsets, Values, Start);
    // The first key is reached at once; interpolation only says how a key is
    // reached from the one before it.
    for (size_t I = 0; I < Offsets.size() && I < Values.size(); ++I) {
        TKeyBlend Blend = I > 0 && FInterpolation == TPropertyInterpolation::Interpolate
                              ? TKeyBlend::Interpolate
                              : TKeyBlend::Jump;
        Setter.AddValue(Name, Offsets[I], PropertyVariantText(Values[I]), Blend);
    }
}

void TElementPropertyValue::TransformValues(std::vector<TVideoTime>&,
                                            std::vector<TPropertyVariant>&, TVideoTime) const {}

void TSoftnessPropertyValue::TransformValues(std::vector<TVideoTime>&,
                                             std::vector<TPropertyVariant>& Values,
                                             TVideoTime) const {
    for (TPropertyVariant& Value : Values) {
        double Percent = VariantToFloat(Value, 0);
        double Scaled = std::round(std::clamp(Percent, 0.0, 100.0) * 255.0 / 100.0);
        Value = static_cast<int32_t>(Scaled);
    }
}

void TVolumePropertyValue::TransformValues(std::vector<TVideoTime>& Offsets,
                                           std::vector<TPropertyVariant>& Values,
                                           TVideoTime Start) const {
    double First = 0;
    double Second = 0;
    if (Offsets.size() != 2 || Values.size() != 2 || !VariantToNumber(Values[0], First) ||
        !VariantToNumber(Values[1], Second))
        return;
    std::string Text = PropertyIntegerText(Start + Offsets[0]) + " " +
                       PropertyIntegerText(Start + Offsets[1]) + " " + PropertyFloatText(First) +
                       " " + PropertyFloatText(Second);
    Offsets.assign(1, 0);
    Values.assign(1, TPropertyVariant(std::move(Text)));
}

std::unique_ptr<TElementPropertyValue> NewPropertyValue(TPropertyValueClass Class) {
    switch (Class) {
    case TPropertyValueClass::Softness:
        return std::make_unique<TSoftnessPropertyValue>();
    case TPropertyValueClass::Volume:
        return std::make_unique<TVolumePropertyValue>();
    case TPropertyValueClass::Plain:
        break;
    }
    return std::make_unique<TElementPropertyValue>();
}

TVideoTime KeyTimeOffset(TVideoTime KeyTime, TVideoTime Duration) {
    if (KeyTime >= 0)
        return KeyTime;
    // A damaged stored time of the most negative value cannot be negated.
    KeyTime = std::max(KeyTime, -std::numeric_limits<TVideoTime>::max());
    return MulDivRound64(-KeyTime, Duration, KeyTimeFractionUnit);
}

TPropertyValueClass TransitionPropertyValueClass(std::string_view Key) {
    return SameTextAscii(Key, "bordersoftness") ? TPropertyValueClass::Softness
                                                : TPropertyValueClass::Plain;
}
