#include "toolkit/controls/number_text.h"

#include <limits>

namespace {

bool IsBlank(char C) {
    return C == ' ' || C == '\t';
}

int32_t DigitValue(char C, int32_t Base) {
    if (C >= '0' && C <= '9')
        return C - '0';
    if (Base == 16 && C >= 'a' && C <= 'f')
        return C - 'a' + 10;
    if (Base == 16 && C >= 'A' && C <= 'F')
        return C - 'A' + 10;
    return -1;
}

} // namespace

std::optional<TNumberText> ReadNumberText(std::string_view Text) {
    size_t I = 0;
    bool Negative = false;
    for (; I < Text.size() && (IsBlank(Text[I]) || Text[I] == '+' || Text[I] == '-'); ++I)
        if (Text[I] == '-')
            Negative = !Negative;
    int32_t Base = 10;
    if (I < Text.size() && Text[I] == '$') {
        Base = 16;
        for (++I; I < Text.size() && IsBlank(Text[I]);)
            ++I;
    }
    constexpr int64_t Saturation = int64_t(1) << 32;
    int64_t Magnitude = 0;
    bool HasDigit = false;
    for (int32_t Digit; I < Text.size() && (Digit = DigitValue(Text[I], Base)) >= 0; ++I) {
        HasDigit = true;
        if (Magnitude < Saturation)
            Magnitude = Magnitude * Base + Digit;
    }
    if (!HasDigit)
        return std::nullopt;
    int64_t Signed = Negative ? -Magnitude : Magnitude;
    TNumberText Number;
    Number.Value = Signed < std::numeric_limits<int32_t>::min()   ? std::numeric_limits<int32_t>::min()
                   : Signed > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max()
                                                                  : int32_t(Signed);
    while (I < Text.size() && IsBlank(Text[I]))
        ++I;
    Number.HasPercent = I < Text.size() && Text[I] == '%';
    return Number;
}
