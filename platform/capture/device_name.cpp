#include "platform/capture/capture_endpoint.h"

namespace {

// The length of the UTF-8 sequence at Text[I], or 0 when it is not a
// well-formed one (overlong forms and surrogates included).
size_t Utf8SequenceLength(std::string_view Text, size_t I) {
    auto Byte = [&](size_t K) { return static_cast<unsigned char>(Text[K]); };
    unsigned char Lead = Byte(I);
    size_t Length = Lead < 0x80 ? 1 : (Lead & 0xE0) == 0xC0 ? 2 : (Lead & 0xF0) == 0xE0 ? 3
                                  : (Lead & 0xF8) == 0xF0    ? 4
                                                             : 0;
    if (Length == 0 || I + Length > Text.size())
        return 0;
    uint32_t Code = Length == 1 ? Lead : Lead & (0x7F >> Length);
    for (size_t K = 1; K < Length; ++K) {
        if ((Byte(I + K) & 0xC0) != 0x80)
            return 0;
        Code = (Code << 6) | (Byte(I + K) & 0x3F);
    }
    static constexpr uint32_t Smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (Code < Smallest[Length] || Code > 0x10FFFF || (Code >= 0xD800 && Code <= 0xDFFF))
        return 0;
    return Length;
}

} // namespace

std::string CleanDeviceName(std::string_view Raw) {
    std::string Clean;
    Clean.reserve(std::min(Raw.size(), MaxDeviceNameBytes));
    for (size_t I = 0; I < Raw.size();) {
        size_t Length = Utf8SequenceLength(Raw, I);
        std::string_view Piece = Length ? Raw.substr(I, Length) : std::string_view("?");
        char Single = Piece[0];
        if (Length == 1 && (static_cast<unsigned char>(Single) < 0x20 || Single == 0x7F))
            Piece = " ";
        if (Clean.size() + Piece.size() > MaxDeviceNameBytes)
            break;
        Clean += Piece;
        I += Length ? Length : 1;
    }
    return Clean;
}
