#include "core/numbers.h"

#include "core/text.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace {

__extension__ typedef __int128 TInt128;

constexpr int32_t CapacitySeries[] = {1,  2,  3,  4,   6,   8,   12,  16,  24,
                                      32, 48, 64, 96, 128, 192, 256, 384, 512};

// The smallest series value greater than N (Strict) or at least N, for N < 512.
int32_t SeriesAt(int32_t N, bool Strict) {
    for (int32_t C : CapacitySeries)
        if (Strict ? C > N : C >= N)
            return C;
    return 512;
}

int32_t ScaledCapacity(int32_t N, bool Strict) {
    if (N < 0)
        return 0;
    if (N < 512)
        return SeriesAt(N, Strict);
    if (N < (1 << 17))
        return SeriesAt(N >> 8, Strict) << 8;
    if (N < (1 << 25))
        return SeriesAt(N >> 16, Strict) << 16;
    if (N < 0x60000000)
        return SeriesAt(N >> 24, Strict) << 24;
    return std::numeric_limits<int32_t>::max();
}

struct TScan {
    bool HasDigit = false;
    int64_t Value = 0;
    size_t End = 0;
};

TScan ScanInteger(std::string_view Text) {
    TScan Scan;
    size_t I = 0;
    bool Negative = false;
    while (I < Text.size() && (IsBlank(Text[I]) || Text[I] == '+' || Text[I] == '-')) {
        if (Text[I] == '-')
            Negative = !Negative;
        ++I;
    }
    int Base = 10;
    if (I < Text.size() && Text[I] == '$') {
        Base = 16;
        ++I;
        while (I < Text.size() && IsBlank(Text[I]))
            ++I;
    }
    // The magnitude stops growing at 2^32, which is beyond every clamp range,
    // so no input can overflow.
    constexpr int64_t Saturation = int64_t(1) << 32;
    int64_t Magnitude = 0;
    for (; I < Text.size(); ++I) {
        int Digit = Base == 16 ? HexDigitValue(Text[I])
                               : (Text[I] >= '0' && Text[I] <= '9' ? Text[I] - '0' : -1);
        if (Digit < 0)
            break;
        Scan.HasDigit = true;
        if (Magnitude < Saturation)
            Magnitude = Magnitude * Base + Digit;
    }
    Scan.Value = Negative ? -Magnitude : Magnitude;
    Scan.End = I;
    return Scan;
}

} // namespace

int32_t GrowCapacity(int32_t N) { return ScaledCapacity(N, true); }

// The smallest capacity greater than N - 1. (Rounding N itself down to the
// scaled table's step, as GrowCapacity does, would give 512 for 513.)
int32_t FitCapacity(int32_t N) { return N <= 0 ? 0 : ScaledCapacity(N - 1, true); }

int64_t MulDivRound64(int64_t A, int64_t B, int64_t C) {
    if (C == 0)
        return 0;
    TInt128 Product = static_cast<TInt128>(A) * B;
    TInt128 Quotient = Product / C;
    TInt128 Remainder = Product % C;
    TInt128 AbsRemainder = Remainder < 0 ? -Remainder : Remainder;
    TInt128 AbsC = C < 0 ? -static_cast<TInt128>(C) : C;
    // Round half away from zero: a remainder of at least half the divisor
    // moves the result one step. (Comparing against floor(|C|/2) would move
    // 1/3 up to 1 and every exact quotient by 1.)
    if (2 * AbsRemainder >= AbsC)
        Quotient += ((Product < 0) != (C < 0)) ? -1 : 1;
    return static_cast<int64_t>(Quotient);
}

int32_t MulDivRound(int32_t A, int32_t B, int32_t C) {
    return static_cast<int32_t>(MulDivRound64(A, B, C));
}

TSize FitSize(int32_t Width, int32_t Height, int32_t MaxWidth, int32_t MaxHeight) {
    if (Width <= 0 || Height <= 0 || MaxWidth <= 0 || MaxHeight <= 0)
        return {};
    // Either the width or the height is the limiting side. The proportional
    // height may not fit in 32 bits when the width is the short side.
    int64_t H = MulDivRound64(MaxWidth, Height, Width);
    if (H <= MaxHeight)
        return {MaxWidth, static_cast<int32_t>(H)};
    return {MulDivRound(MaxHeight, Width, Height), MaxHeight};
}

int32_t ParseInteger(std::string_view Text, int32_t Min, int32_t Max, int32_t Default) {
    TScan Scan = ScanInteger(Text);
    if (!Scan.HasDigit)
        return Default;
    if (Scan.Value < Min)
        return Min;
    if (Scan.Value > Max)
        return Max;
    return static_cast<int32_t>(Scan.Value);
}

TParsedPercent ParsePercent(std::string_view Text, int32_t Default) {
    TScan Scan = ScanInteger(Text);
    TParsedPercent Result;
    Result.Value = Scan.HasDigit ? ParseInteger(Text, std::numeric_limits<int32_t>::min(),
                                                std::numeric_limits<int32_t>::max(), Default)
                                 : Default;
    size_t I = Scan.End;
    while (I < Text.size() && IsBlank(Text[I]))
        ++I;
    Result.HasPercent = I < Text.size() && Text[I] == '%';
    return Result;
}

std::string FormatPercent(int32_t N) {
    if (N == 0)
        return "0%";
    int64_t Magnitude = N < 0 ? -static_cast<int64_t>(N) : N;
    std::string Text(1, N < 0 ? '-' : '+');
    Text += std::to_string(Magnitude);
    Text += '%';
    return Text;
}

std::string FormatDecimal(double Value) {
    if (!std::isfinite(Value))
        return "0";
    if (Value == 0)
        return "0"; // also for -0
    char Buffer[400];
    auto [End, Error] =
        std::to_chars(Buffer, Buffer + sizeof Buffer, Value, std::chars_format::fixed);
    if (Error != std::errc())
        return "0";
    return std::string(Buffer, End);
}

std::string FormatDecimal(int64_t Value) {
    char Buffer[24];
    auto [End, Error] = std::to_chars(Buffer, Buffer + sizeof Buffer, Value);
    return Error == std::errc() ? std::string(Buffer, End) : "0";
}
