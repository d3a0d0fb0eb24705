#pragma once

#include "core/geometry.h"
#include "core/video_time.h"
#include "platform/media/property_setter.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

// Typed readers for the properties of the transforms, used when a component
// is made so that the per-frame code only looks up ready values.

// "True"/"False" in any case, or a number: 0 is false, anything else
// ("1", "-1") true.
std::optional<bool> ParsePropertyBool(std::string_view Text);
// An integer colour, decimal ("-1") or hexadecimal ("0xFF0000"), as its low
// 32 bits.
std::optional<TColor> ParsePropertyColor(std::string_view Text);
// A number rounded to the nearest integer.
std::optional<int32_t> ParsePropertyInteger(std::string_view Text);

// A property whose value changes only at its keys: the value of the last key
// at or before a time, the first key's before any key. Keys whose text does
// not parse are skipped; without any the Default holds at all times.
template <class T>
class TSteppedKeys {
public:
    TSteppedKeys() = default;
    explicit TSteppedKeys(T Constant) : FDefault(std::move(Constant)) {}
    template <class TParse>
    TSteppedKeys(const TPropertySetter& Setter, std::string_view Name, T Default, TParse&& Parse)
        : FDefault(std::move(Default)) {
        if (const auto* Keys = Setter.Keys(Name))
            for (const TKeyValue& Key : *Keys)
                if (std::optional<T> Value = Parse(Key.Value))
                    FKeys.emplace_back(Key.Time, std::move(*Value));
    }

    const T& At(TVideoTime Time) const {
        if (FKeys.empty())
            return FDefault;
        auto Next = std::upper_bound(
            FKeys.begin(), FKeys.end(), Time,
            [](TVideoTime When, const std::pair<TVideoTime, T>& Key) { return When < Key.first; });
        return Next == FKeys.begin() ? FKeys.front().second : std::prev(Next)->second;
    }
    bool IsConstant() const { return FKeys.size() <= 1; }

private:
    std::vector<std::pair<TVideoTime, T>> FKeys;
    T FDefault{};
};

TSteppedKeys<bool> BoolKeys(const TPropertySetter& Setter, std::string_view Name, bool Default);
TSteppedKeys<TColor> ColorKeys(const TPropertySetter& Setter, std::string_view Name,
                               TColor Default);
