#include "core/time_text.h"

#include <cmath>
#include <cstdio>

std::string FormatTime(double Seconds) {
    if (!std::isfinite(Seconds))
        Seconds = 0;
    long long Hundredths = std::llround(Seconds * 100.0);
    bool Negative = Hundredths < 0;
    unsigned long long Magnitude =
        Negative ? 0ULL - static_cast<unsigned long long>(Hundredths) : Hundredths;
    char Buffer[48];
    std::snprintf(Buffer, sizeof Buffer, "%s%02llu:%02llu.%02llu", Negative ? "-" : "",
                  Magnitude / 6000, Magnitude / 100 % 60, Magnitude % 100);
    return Buffer;
}

std::string FormatSignedTime(double Seconds) {
    std::string Text = FormatTime(Seconds);
    if (std::llround(Seconds * 100.0) > 0)
        Text.insert(Text.begin(), '+');
    return Text;
}

double ParseTime(std::string_view Text, double Default) {
    // Each integer part saturates at 1000 so that no typed text overflows.
    constexpr int Saturation = 1000;
    int Parts[2] = {0, 0}; // the number before ":" and the number before "."
    int Current = 0;
    int Fraction = 0, FractionDigits = 0;
    bool HasDigit = false, Negative = false, InFraction = false, HasColon = false;
    for (char C : Text) {
        if (C == '-') {
            Negative = !Negative;
        } else if (C >= '0' && C <= '9') {
            HasDigit = true;
            if (InFraction) {
                if (FractionDigits < 3) {
                    Fraction = Fraction * 10 + (C - '0');
                    ++FractionDigits;
                }
            } else if (Current < Saturation) {
                Current = Current * 10 + (C - '0');
                if (Current > Saturation)
                    Current = Saturation;
            }
        } else if (C == ':' && !InFraction && !HasColon) {
            Parts[0] = Current;
            Current = 0;
            HasColon = true;
        } else if (C == '.' && !InFraction) {
            InFraction = true;
        }
    }
    if (!HasDigit)
        return Default;
    Parts[1] = Current;
    double Scale = FractionDigits == 0 ? 0 : std::pow(10.0, FractionDigits);
    double Seconds =
        Parts[0] * 60.0 + Parts[1] + (FractionDigits == 0 ? 0.0 : Fraction / Scale);
    return Negative ? -Seconds : Seconds;
}
