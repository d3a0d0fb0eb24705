#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

// One value of an element property: nothing, a boolean, an integer (also
// colours and enumeration options), a float or a text. The engine takes every
// property as text, so a variant is written once, at the edge, by
// PropertyVariantText.
using TPropertyVariant = std::variant<std::monostate, bool, int32_t, double, std::string>;

inline bool IsEmptyVariant(const TPropertyVariant& Value) {
    return std::holds_alternative<std::monostate>(Value);
}

// The text the engine receives: integers in decimal, floats in the shortest
// decimal form that reads back exactly (always with "."), booleans as "1" and
// "0", texts as they are, nothing as "". No locale is involved.
std::string PropertyVariantText(const TPropertyVariant& Value);

// Numeric readings. Booleans count as 0 and 1; a text counts when it is a
// property number (platform/media/property_setter.h). False otherwise.
bool VariantToNumber(const TPropertyVariant& Value, double& Number);
// Rounded to the nearest integer and limited to the int32 range.
int32_t VariantToInteger(const TPropertyVariant& Value, int32_t Default);
double VariantToFloat(const TPropertyVariant& Value, double Default);
bool VariantToBool(const TPropertyVariant& Value, bool Default);

// Equal in meaning: numbers compare by value whichever alternative holds them
// (an integer 25 equals a float 25.0), texts by their bytes, nothing equals
// only nothing.
bool SameVariant(const TPropertyVariant& A, const TPropertyVariant& B);

// Decimal forms without locale for property texts and text forms. Floats
// take the shortest digits that read back exactly, without an exponent
// unless the value is extreme ("0.0000001", "2").
std::string PropertyIntegerText(int64_t Value);
std::string PropertyFloatText(double Value);
