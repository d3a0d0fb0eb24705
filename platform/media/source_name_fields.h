#pragma once

#include "core/geometry.h"
#include "core/numbers.h"

#include <cstdint>
#include <string>
#include <string_view>

// The numbers inside the picture and title source names: decimal, with "."
// as the decimal point whatever the locale, so a name written on one
// machine reads the same on another.

// Numbers are written with FormatDecimal (core/numbers.h).

// Whole-text parses: no blanks, no trailing characters. A float also
// accepts "," as its decimal point and an exponent.
bool ParseDecimal(std::string_view Text, double& Value);
bool ParseDecimal(std::string_view Text, int64_t& Value);
bool ParseDecimal(std::string_view Text, uint64_t& Value);
bool ParseDecimal(std::string_view Text, int32_t& Value);

// A colour in a source name: the 32-bit value with the red and blue bytes
// exchanged (0xAARRGGBB), as a decimal integer. Written unsigned; read
// signed (a 32-bit integer with the top bit set) or unsigned.
std::string FormatColorField(TColor Color);
bool ParseColorField(std::string_view Text, TColor& Color);

// Splits off the text before the next "/" of Rest, and the "/" itself;
// false when Rest holds no "/". The names are fixed fields, each ending in
// "/", followed by free text (a path, a title) that may hold "/" itself.
bool TakeField(std::string_view& Rest, std::string_view& Field);

// Appends "/" and Field: the writing side of TakeField.
inline void AppendField(std::string& Text, std::string_view Field) {
    Text += '/';
    Text += Field;
}
