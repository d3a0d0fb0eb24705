#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// A number as the user types it into a number field: any leading mix of
// blanks and signs (each "-" flips the sign), "$" and optional blanks for
// hexadecimal digits (either case), else decimal digits, then optional
// blanks and "%"; anything after is ignored. The magnitude stops growing
// at 2^32, so a long run of digits cannot overflow; the result saturates
// at the 32-bit limits. Empty when there is no digit.
struct TNumberText {
    int32_t Value = 0;
    bool HasPercent = false;
};
std::optional<TNumberText> ReadNumberText(std::string_view Text);
