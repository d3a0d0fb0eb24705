#pragma once

#include "core/object.h"
#include "core/video_time.h"
#include "render/property_variant.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

class TPropertySetter;

// Key times of 0 and above are offsets from the element's start; a negative
// time -x stands for the fraction x / KeyTimeFractionUnit of the element's
// duration, so -KeyTimeFractionUnit is its end and -KeyTimeFractionUnit / 2
// its middle, however long the element becomes.
constexpr TVideoTime KeyTimeFractionUnit = 10000000;

// How a key value is reached from the previous key.
enum class TPropertyInterpolation : int32_t { Jump = 0, Interpolate = 1 };

// The classes of property values; every value object is of one of them.
enum class TPropertyValueClass : uint8_t {
    Plain,    // TElementPropertyValue
    Softness, // TSoftnessPropertyValue
    Volume,   // TVolumePropertyValue
};

// The value of one element property, possibly changing over the element's
// time: one variant per key time. A constant is one key at time 0 that is
// jumped to.
//
//   TElementPropertyValue Ramp;
//   Ramp.AddKey(0, 0.0);
//   Ramp.AddKey(-KeyTimeFractionUnit, 1.0); // the element's end
//   Ramp.SetInterpolation(TPropertyInterpolation::Interpolate);
class TElementPropertyValue : public TObject {
public:
    TElementPropertyValue() = default;
    // A constant; an empty Value gives a value without keys.
    explicit TElementPropertyValue(const TPropertyVariant& Value) { SetConstant(Value); }
    ~TElementPropertyValue() override;

    std::string_view ClassName() const override { return "TElementPropertyValue"; }
    virtual TPropertyValueClass ValueClass() const { return TPropertyValueClass::Plain; }

    // A value of the same class with the same keys.
    std::unique_ptr<TElementPropertyValue> Clone() const;
    // Takes the keys and interpolation of Source, keeping this value's class.
    void CopyKeys(const TElementPropertyValue& Source);

    int32_t KeyCount() const { return static_cast<int32_t>(FKeyTimes.size()); }
    bool IsEmpty() const { return FKeyTimes.empty(); }
    TVideoTime KeyTime(int32_t Index) const { return FKeyTimes[static_cast<size_t>(Index)]; }
    const TPropertyVariant& Value(int32_t Index) const {
        return FValues[static_cast<size_t>(Index)];
    }
    // The value of the first key, or nothing.
    TPropertyVariant FirstValue() const;

    TPropertyInterpolation Interpolation() const { return FInterpolation; }
    void SetInterpolation(TPropertyInterpolation Value) { FInterpolation = Value; }

    void AddKey(TVideoTime Time, const TPropertyVariant& Value);
    // One key at time 0, jumped to; an empty Value clears the keys.
    void SetConstant(const TPropertyVariant& Value);
    void Clear();

    // One key at time 0 whose value equals Value.
    bool IsConstant(const TPropertyVariant& Value) const;
    // Same keys, values and interpolation (the class is not compared).
    bool SameKeys(const TElementPropertyValue& Other) const;

    // Writes the value under Name into Setter for an element at Start lasting
    // Duration (see element_property_value.cpp). Names beginning with "*" are
    // internal and not written. Raises the key-order error, writing nothing,
    // when the key times are not in time order.
    void WriteTo(TPropertySetter& Setter, std::string_view Name, TVideoTime Start,
                 TVideoTime Duration) const;

protected:
    // Adjusts what is written just before it is written: Offsets are the key
    // times resolved against the element (relative to its start), one per
    // value. The base writes the values as they are.
    virtual void TransformValues(std::vector<TVideoTime>& Offsets,
                                 std::vector<TPropertyVariant>& Values, TVideoTime Start) const;

private:
    std::vector<TVideoTime> FKeyTimes;
    std::vector<TPropertyVariant> FValues;
    TPropertyInterpolation FInterpolation = TPropertyInterpolation::Jump;
};

// The border softness of the wipes: kept as a percentage, written on the
// engine's 0..255 scale (rounded, and limited to that scale whatever is stored).
class TSoftnessPropertyValue : public TElementPropertyValue {
public:
    using TElementPropertyValue::TElementPropertyValue;
    std::string_view ClassName() const override { return "TSoftnessPropertyValue"; }
    TPropertyValueClass ValueClass() const override { return TPropertyValueClass::Softness; }

protected:
    void TransformValues(std::vector<TVideoTime>& Offsets, std::vector<TPropertyVariant>& Values,
                         TVideoTime Start) const override;
};

// The volume of the audio effects. A two-key ramp is written as one text at
// time 0, "<start> <end> <first volume> <second volume>", with the two times
// on the timeline (the element's start added), which is the form the volume
// effect reads its fades in.
class TVolumePropertyValue : public TElementPropertyValue {
public:
    using TElementPropertyValue::TElementPropertyValue;
    std::string_view ClassName() const override { return "TVolumePropertyValue"; }
    TPropertyValueClass ValueClass() const override { return TPropertyValueClass::Volume; }

protected:
    void TransformValues(std::vector<TVideoTime>& Offsets, std::vector<TPropertyVariant>& Values,
                         TVideoTime Start) const override;
};

std::unique_ptr<TElementPropertyValue> NewPropertyValue(TPropertyValueClass Class);

// The key time resolved against an element of Duration: fractions (negative
// times) rounded to the nearest unit, other times as they are.
TVideoTime KeyTimeOffset(TVideoTime KeyTime, TVideoTime Duration);

// The value class transitions use for their own values: the border softness
// is scaled, everything else is plain. Keys compare without regard to case.
TPropertyValueClass TransitionPropertyValueClass(std::string_view Key);
