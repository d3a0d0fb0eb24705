#pragma once

#include "core/video_time.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

// How a key value is reached from the previous one: at once, or by a
// straight ramp from the previous key.
enum class TKeyBlend { Jump, Interpolate };

struct TKeyValue {
    TVideoTime Time = 0; // relative to the start of the node that holds the setter
    std::string Value;
    TKeyBlend Blend = TKeyBlend::Jump;
};

// The properties given to a source, effect or transition: per property name,
// a time-ordered list of key values. Names compare case-insensitively.
class TPropertySetter {
public:
    // Adds a key value; keys are kept in time order.
    void AddValue(std::string_view Name, TVideoTime Time, std::string_view Value,
                  TKeyBlend Blend = TKeyBlend::Jump);
    void SetValue(std::string_view Name, std::string_view Value) { AddValue(Name, 0, Value); }
    void Clear() { FProperties.clear(); }

    bool Has(std::string_view Name) const;
    // The key values of Name, or none.
    const std::vector<TKeyValue>* Keys(std::string_view Name) const;
    // The text in force at Time: the last key at or before it (the first key
    // before any key is reached).
    std::string TextAt(std::string_view Name, TVideoTime Time, std::string_view Default = {}) const;

    std::vector<std::string> Names() const;

private:
    struct TLess {
        using is_transparent = void;
        bool operator()(std::string_view A, std::string_view B) const;
    };
    std::map<std::string, std::vector<TKeyValue>, TLess> FProperties;
};

// A numeric property parsed once: its value at any time, ramps included.
class TNumericKeys {
public:
    TNumericKeys() = default;
    // Keys whose text is not a number are skipped; without any key the
    // property has the Default value at all times.
    TNumericKeys(const TPropertySetter& Setter, std::string_view Name, double Default);
    explicit TNumericKeys(double Constant) : FDefault(Constant) {}

    double At(TVideoTime Time) const;
    bool IsConstant() const { return FKeys.size() <= 1; }

private:
    struct TKey {
        TVideoTime Time;
        double Value;
        TKeyBlend Blend;
    };
    std::vector<TKey> FKeys;
    double FDefault = 0;
};

// Numbers in property texts: decimal with "." regardless of locale, an
// optional exponent, or integers written "0x..." / "$..." in hexadecimal.
bool ParsePropertyNumber(std::string_view Text, double& Value);
double PropertyNumber(const TPropertySetter& Setter, std::string_view Name, double Default);
