#include "platform/text/utf8.h"

#include <cstdint>

namespace {

constexpr char32_t Replacement = 0xFFFD;

// The length of the well-formed sequence at Offset and its character, or
// 0 when the bytes there do not form one.
size_t DecodeAt(std::string_view Text, size_t Offset, char32_t& Character) {
    auto Byte = [&](size_t I) { return static_cast<uint8_t>(Text[Offset + I]); };
    uint8_t Lead = Byte(0);
    size_t Length;
    char32_t Value;
    char32_t Minimum;
    if (Lead < 0x80) {
        Character = Lead;
        return 1;
    } else if ((Lead & 0xE0) == 0xC0) {
        Length = 2, Value = Lead & 0x1F, Minimum = 0x80;
    } else if ((Lead & 0xF0) == 0xE0) {
        Length = 3, Value = Lead & 0x0F, Minimum = 0x800;
    } else if ((Lead & 0xF8) == 0xF0) {
        Length = 4, Value = Lead & 0x07, Minimum = 0x10000;
    } else {
        return 0;
    }
    if (Offset + Length > Text.size())
        return 0;
    for (size_t I = 1; I < Length; ++I) {
        if ((Byte(I) & 0xC0) != 0x80)
            return 0;
        Value = (Value << 6) | (Byte(I) & 0x3F);
    }
    if (Value < Minimum || Value > 0x10FFFF || (Value >= 0xD800 && Value <= 0xDFFF))
        return 0;
    Character = Value;
    return Length;
}

} // namespace

std::string SanitizeUtf8(std::string_view Text) {
    std::string Result;
    Result.reserve(Text.size());
    for (size_t Offset = 0; Offset < Text.size();) {
        char32_t Character = 0;
        size_t Length = DecodeAt(Text, Offset, Character);
        if (Length == 0) {
            AppendUtf8(Result, Replacement);
            ++Offset;
            continue;
        }
        Result.append(Text.substr(Offset, Length));
        Offset += Length;
    }
    return Result;
}

char32_t NextUtf8(std::string_view Text, size_t& Offset) {
    char32_t Character = Replacement;
    size_t Length = DecodeAt(Text, Offset, Character);
    Offset += Length == 0 ? 1 : Length;
    return Length == 0 ? Replacement : Character;
}

void AppendUtf8(std::string& Text, char32_t Character) {
    if (Character > 0x10FFFF || (Character >= 0xD800 && Character <= 0xDFFF))
        Character = Replacement;
    if (Character < 0x80) {
        Text += char(Character);
    } else if (Character < 0x800) {
        Text += char(0xC0 | (Character >> 6));
        Text += char(0x80 | (Character & 0x3F));
    } else if (Character < 0x10000) {
        Text += char(0xE0 | (Character >> 12));
        Text += char(0x80 | ((Character >> 6) & 0x3F));
        Text += char(0x80 | (Character & 0x3F));
    } else {
        Text += char(0xF0 | (Character >> 18));
        Text += char(0x80 | ((Character >> 12) & 0x3F));
        Text += char(0x80 | ((Character >> 6) & 0x3F));
        Text += char(0x80 | (Character & 0x3F));
    }
}
