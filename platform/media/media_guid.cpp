#include "platform/media/media_guid.h"

#include "core/text.h"

#include <cassert>
#include <cstdio>

std::string TGuid::ToString() const {
    char Text[40];
    const auto& B = Bytes;
    std::snprintf(Text, sizeof Text,
                  "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", B[0],
                  B[1], B[2], B[3], B[4], B[5], B[6], B[7], B[8], B[9], B[10], B[11], B[12], B[13],
                  B[14], B[15]);
    return Text;
}

bool ParseGuid(std::string_view Text, TGuid& Result) {
    if (Text.size() >= 2 && Text.front() == '{' && Text.back() == '}')
        Text = Text.substr(1, Text.size() - 2);
    // 8-4-4-4-12 hexadecimal digits.
    if (Text.size() != 36 || Text[8] != '-' || Text[13] != '-' || Text[18] != '-' ||
        Text[23] != '-')
        return false;
    TGuid Parsed;
    size_t Byte = 0;
    for (size_t I = 0; I < Text.size(); ++I) {
        if (Text[I] == '-')
            continue;
        int High = HexDigitValue(Text[I]),
            Low = I + 1 < Text.size() ? HexDigitValue(Text[I + 1]) : -1;
        if (High < 0 || Low < 0)
            return false;
        Parsed.Bytes[Byte++] = static_cast<uint8_t>(High * 16 + Low);
        ++I;
    }
    Result = Parsed;
    return Byte == 16;
}

TGuid GuidFromText(std::string_view Text) {
    TGuid Id;
    [[maybe_unused]] bool Valid = ParseGuid(Text, Id);
    assert(Valid && "malformed class id constant");
    return Id;
}

namespace MediaClassIds {

const TGuid& ColorSource() {
    static const TGuid Id = GuidFromText("{0CFDD070-581A-11D2-9EE6-006008039E37}");
    return Id;
}

const TGuid& KeyTransition() {
    static const TGuid Id = GuidFromText("{C5B19592-145E-11D3-9F04-006008039E37}");
    return Id;
}

const TGuid& CrossFadeTransition() {
    static const TGuid Id = GuidFromText("{16B280C5-EE70-11D1-9066-00C04FD9189D}");
    return Id;
}

const TGuid& AudioVolumeEnvelope() {
    static const TGuid Id = GuidFromText("{036A9790-C153-11D2-9EF7-006008039E37}");
    return Id;
}

} // namespace MediaClassIds
