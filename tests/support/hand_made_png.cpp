#include "hand_made_png.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace {

void PutBigEndian32(std::string& Out, uint32_t Value) {
    for (int Shift = 24; Shift >= 0; Shift -= 8)
        Out.push_back(char(uint8_t(Value >> Shift)));
}

uint32_t Crc32(std::string_view Bytes) {
    static const std::array<uint32_t, 256> Table = [] {
        std::array<uint32_t, 256> Result{};
        for (uint32_t N = 0; N < 256; ++N) {
            uint32_t C = N;
            for (int K = 0; K < 8; ++K)
                C = C & 1 ? 0xEDB88320u ^ (C >> 1) : C >> 1;
            Result[N] = C;
        }
        return Result;
    }();
    uint32_t Crc = 0xFFFFFFFFu;
    for (char Byte : Bytes)
        Crc = Table[(Crc ^ uint8_t(Byte)) & 0xFF] ^ (Crc >> 8);
    return Crc ^ 0xFFFFFFFFu;
}

uint32_t Adler32(std::string_view Bytes) {
    uint32_t A = 1, B = 0;
    for (char Byte : Bytes) {
        A = (A + uint8_t(Byte)) % 65521;
        B = (B + A) % 65521;
    }
    return B << 16 | A;
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::string StoredZlib(std::string_view Data) {
    std::string Out = "\x78\x01";
    size_t At = 0;
    do {
        size_t Length = std::min<size_t>(Data.size() - At, 65535);
        bool Last = At + Length == Data.size();
        Out.push_back(char(Last ? 1 : 0));
        Out.push_back(char(uint8_t(Length)));
        Out.push_back(char(uint8_t(Length >> 8)));
        Out.push_back(char(uint8_t(~Length)));
        Out.push_back(char(uint8_t(~Length >> 8)));
        Out.append(Data.substr(At, Length));
        At += Length;
    } while (At < Data.size());
    PutBigEndian32(Out, Adler32(Data));
    return Out;
}

uint32_t Channels(TPngColourType Type) {
    switch (Type) {
    case TPngColourType::Grey:
        return 1;
    case TPngColourType::Rgb:
        return 3;
    case TPngColourType::GreyAlpha:
        return 2;
    case TPngColourType::Rgba:
        return 4;
    }
    return 0;
}

} // namespace

std::string PngSignature() { return std::string("\x89PNG\r\n\x1A\n", 8); }

std::string PngChunk(std::string_view Type, std::string_view Data) {
    std::string Out;
    PutBigEndian32(Out, uint32_t(Data.size()));
    std::string Checked(Type);
    Checked.append(Data);
    Out += Checked;
    PutBigEndian32(Out, Crc32(Checked));
    return Out;
}

std::string PngHeaderChunk(uint32_t Width, uint32_t Height, TPngColourType Type) {
    std::string Data;
    PutBigEndian32(Data, Width);
    PutBigEndian32(Data, Height);
    Data.push_back(8); // bits per sample
    Data.push_back(char(Type));
    Data.append(3, '\0'); // deflate, adaptive filters, not interlaced
    return PngChunk("IHDR", Data);
}

std::string HandMadePng(uint32_t Width, uint32_t Height, TPngColourType Type,
                        const std::vector<uint8_t>& Samples) {
    size_t RowBytes = size_t(Width) * Channels(Type);
    if (Samples.size() != RowBytes * Height)
        throw std::invalid_argument("HandMadePng: the samples do not fill the picture");
    std::string Filtered;
    for (uint32_t Y = 0; Y < Height; ++Y) {
        Filtered.push_back('\0'); // filter: none
        Filtered.append(reinterpret_cast<const char*>(Samples.data()) + Y * RowBytes, RowBytes);
    }
    return PngSignature() + PngHeaderChunk(Width, Height, Type) + PngChunk("IDAT", StoredZlib(Filtered)) +
           PngChunk("IEND", "");
}
