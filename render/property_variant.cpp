#include "render/property_variant.h"

#include "core/numbers.h"

#include "platform/media/property_setter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

std::string PropertyIntegerText(int64_t Value) {
    return FormatDecimal(Value);
}

std::string PropertyFloatText(double Value) {
    return FormatDecimal(Value);
}

std::string PropertyVariantText(const TPropertyVariant& Value) {
    switch (Value.index()) {
    case 1:
        return std::get<bool>(Value) ? "1" : "0";
    case 2:
        return PropertyIntegerText(std::get<int32_t>(Value));
    case 3:
        return PropertyFloatText(std::get<double>(Value));
    case 4:
        return std::get<std::string>(Value);
    default:
        return {};
    }
}

bool VariantToNumber(const TPropertyVariant& Value, double& Number) {
    switch (Value.index()) {
    case 1:
        Number = std::get<bool>(Value) ? 1.0 : 0.0;
        return true;
    case 2:
        Number = std::get<int32_t>(Value);
        return true;
    case 3:
        Number = std::get<double>(Value);
        return std::isfinite(Number);
    case 4:
        return ParsePropertyNumber(std::get<std::string>(Value), Number);
    default:
        return false;
    }
}

int32_t VariantToInteger(const TPropertyVariant& Value, int32_t Default) {
    double Number = 0;
    if (!VariantToNumber(Value, Number))
        return Default;
    constexpr double Low = std::numeric_limits<int32_t>::min();
    constexpr double High = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(std::clamp(std::round(Number), Low, High));
}

double VariantToFloat(const TPropertyVariant& Value, double Default) {
    double Number = 0;
    return VariantToNumber(Value, Number) ? Number : Default;
}

bool VariantToBool(const TPropertyVariant& Value, bool Default) {
    double Number = 0;
    return VariantToNumber(Value, Number) ? Number != 0 : Default;
}

bool SameVariant(const TPropertyVariant& A, const TPropertyVariant& B) {
    if (A.index() == B.index())
        return A == B;
    auto IsNumeric = [](const TPropertyVariant& V) { return V.index() >= 1 && V.index() <= 3; };
    if (!IsNumeric(A) || !IsNumeric(B))
        return false;
    double X = 0;
    double Y = 0;
    return VariantToNumber(A, X) && VariantToNumber(B, Y) && X == Y;
}
