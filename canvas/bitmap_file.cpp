#include "canvas/pixels.h"

#include "canvas/canvas_error.h"
#include "core/error.h"
#include "core/stream.h"

#include <array>
#include <cstring>
#include <vector>

// Bitmap files: a 14-byte file header ("BM"), an info header of 12 (core) or
// 40 bytes, an optional palette or colour masks, and the rows, bottom row
// first unless the height is negative. A 32-bit uncompressed file is read
// straight into the raster; every other kind is decoded here and taken as
// opaque. The fourth byte of a 32-bit file holds 255 - alpha, so that files
// from programs that leave it 0 read as opaque.

namespace {

constexpr uint16_t Signature = 19778; // "BM"
constexpr uint32_t CoreHeaderSize = 12;
constexpr uint32_t InfoHeaderSize = 40;
constexpr uint32_t CompressionRgb = 0, CompressionRle8 = 1, CompressionRle4 = 2, CompressionBitFields = 3;

struct TReader {
    TStream& Stream;
    template <class T>
    T Read() {
        uint8_t Bytes[sizeof(T)];
        Stream.ReadBuffer(Bytes, sizeof(T));
        uint64_t Value = 0;
        for (size_t I = 0; I < sizeof(T); ++I)
            Value |= uint64_t(Bytes[I]) << (8 * I);
        return T(Value);
    }
};

struct TWriter {
    std::vector<uint8_t> Bytes;
    template <class T>
    void Put(T Value) {
        auto Bits = uint64_t(Value);
        for (size_t I = 0; I < sizeof(T); ++I)
            Bytes.push_back(uint8_t(Bits >> (8 * I)));
    }
};

struct TBitmapHeader {
    int32_t Width = 0;
    int32_t Height = 0; // negative: rows top-down
    uint16_t Planes = 0;
    uint16_t BitCount = 0;
    uint32_t Compression = CompressionRgb;
    uint32_t ImageSize = 0;
    std::vector<uint32_t> Palette; // BGR0 words
    std::array<uint32_t, 3> Masks{}; // red, green, blue
};

void CheckSize(int64_t Width, int64_t Height) {
    if (Width < 0 || Width > TPixels::MaxSize || Height < -TPixels::MaxSize || Height > TPixels::MaxSize)
        RaiseUnreadableBitmap();
}

TBitmapHeader ReadHeader(TReader& In) {
    TBitmapHeader H;
    uint32_t Size = In.Read<uint32_t>();
    if (Size == CoreHeaderSize) {
        H.Width = In.Read<uint16_t>();
        H.Height = In.Read<uint16_t>();
        H.Planes = In.Read<uint16_t>();
        H.BitCount = In.Read<uint16_t>();
        CheckSize(H.Width, H.Height);
        if (H.BitCount <= 8) {
            H.Palette.resize(size_t(1) << H.BitCount);
            for (auto& Entry : H.Palette) {
                uint8_t Bgr[3];
                In.Stream.ReadBuffer(Bgr, 3);
                Entry = uint32_t(Bgr[0]) | uint32_t(Bgr[1]) << 8 | uint32_t(Bgr[2]) << 16;
            }
        }
        return H;
    }
    if (Size != InfoHeaderSize)
        RaiseUnreadableBitmap();
    H.Width = In.Read<int32_t>();
    H.Height = In.Read<int32_t>();
    H.Planes = In.Read<uint16_t>();
    H.BitCount = In.Read<uint16_t>();
    H.Compression = In.Read<uint32_t>();
    H.ImageSize = In.Read<uint32_t>();
    In.Read<int32_t>(); // resolution
    In.Read<int32_t>();
    uint32_t ColorsUsed = In.Read<uint32_t>();
    In.Read<uint32_t>(); // important colours
    CheckSize(H.Width, H.Height);
    if (H.BitCount <= 8) {
        uint32_t Count = ColorsUsed ? ColorsUsed : 1u << H.BitCount;
        if (Count > 256)
            RaiseUnreadableBitmap();
        H.Palette.resize(Count);
        for (auto& Entry : H.Palette)
            Entry = In.Read<uint32_t>() & 0x00FFFFFFu;
    } else if (H.Compression == CompressionBitFields) {
        for (auto& Mask : H.Masks)
            Mask = In.Read<uint32_t>();
    }
    return H;
}

// One channel out of a masked word, scaled to 0..255.
struct TMaskChannel {
    uint32_t Mask = 0;
    int32_t Shift = 0;
    uint32_t Max = 0;
    explicit TMaskChannel(uint32_t M) : Mask(M) {
        if (!M)
            return;
        while (!((M >> Shift) & 1))
            ++Shift;
        Max = M >> Shift;
    }
    uint32_t Get(uint32_t Word) const {
        if (!Max)
            return 0;
        return ((Word & Mask) >> Shift) * 255 / Max;
    }
};

// Expands run-length data into one palette index per pixel, rows bottom-up
// as stored.
std::vector<uint8_t> ExpandRunLength(const std::vector<uint8_t>& Data, int32_t Width, int32_t Height,
                                     bool FourBit) {
    std::vector<uint8_t> Indexes(size_t(Width) * size_t(Height), 0);
    size_t At = 0;
    int32_t X = 0, Y = 0;
    auto Byte = [&]() -> uint32_t {
        if (At >= Data.size())
            RaiseUnreadableBitmap();
        return Data[At++];
    };
    auto Put = [&](uint32_t Index) {
        if (X < Width && Y < Height)
            Indexes[size_t(Y) * size_t(Width) + size_t(X)] = uint8_t(Index);
        ++X;
    };
    while (Y < Height) {
        uint32_t Count = Byte(), Value = Byte();
        if (Count) {
            for (uint32_t I = 0; I < Count; ++I)
                Put(FourBit ? (I & 1 ? Value & 15 : Value >> 4) : Value);
            continue;
        }
        if (Value == 0) { // end of line
            X = 0;
            ++Y;
        } else if (Value == 1) { // end of picture
            break;
        } else if (Value == 2) { // delta
            X += int32_t(Byte());
            Y += int32_t(Byte());
        } else { // a literal run of Value indexes, padded to 16 bits
            uint32_t Bytes = FourBit ? (Value + 1) / 2 : Value;
            for (uint32_t I = 0; I < Value; ++I) {
                uint32_t B = FourBit ? (I & 1 ? Data[At - 1] & 15 : Byte() >> 4) : Byte();
                Put(B);
            }
            if (Bytes & 1)
                Byte();
        }
    }
    return Indexes;
}

// Decodes any other kind of bitmap into Target (already sized), opaque.
void DecodeGeneral(const TBitmapHeader& H, const std::vector<uint8_t>& Data, TPixels& Target) {
    int32_t Width = H.Width, Height = H.Height < 0 ? -H.Height : H.Height;
    bool TopDown = H.Height < 0;
    auto Palette = [&](uint32_t Index) -> TPixel {
        return (Index < H.Palette.size() ? H.Palette[Index] : 0) | 0xFF000000u;
    };
    auto RowOf = [&](int32_t StoredRow) { return Target.RowPixels(TopDown ? StoredRow : Height - 1 - StoredRow); };

    if (H.Compression == CompressionRle8 || H.Compression == CompressionRle4) {
        if (TopDown || (H.Compression == CompressionRle8 ? H.BitCount != 8 : H.BitCount != 4))
            RaiseUnreadableBitmap();
        auto Indexes = ExpandRunLength(Data, Width, Height, H.Compression == CompressionRle4);
        for (int32_t Y = 0; Y < Height; ++Y) {
            TPixel* To = RowOf(Y);
            for (int32_t X = 0; X < Width; ++X)
                To[X] = Palette(Indexes[size_t(Y) * size_t(Width) + size_t(X)]);
        }
        return;
    }

    size_t RowBytes = (size_t(Width) * H.BitCount + 31) / 32 * 4;
    std::array<uint32_t, 3> Masks = H.Masks;
    if (H.Compression == CompressionRgb && H.BitCount == 16)
        Masks = {0x7C00, 0x03E0, 0x001F};
    if (H.Compression == CompressionRgb && H.BitCount == 32)
        Masks = {0xFF0000, 0xFF00, 0xFF};
    TMaskChannel Red(Masks[0]), Green(Masks[1]), Blue(Masks[2]);
    for (int32_t Y = 0; Y < Height; ++Y) {
        const uint8_t* From = Data.data() + size_t(Y) * RowBytes;
        TPixel* To = RowOf(Y);
        for (int32_t X = 0; X < Width; ++X) {
            switch (H.BitCount) {
            case 1:
                To[X] = Palette(From[X >> 3] >> (7 - (X & 7)) & 1);
                break;
            case 4:
                To[X] = Palette(X & 1 ? From[X >> 1] & 15 : From[X >> 1] >> 4);
                break;
            case 8:
                To[X] = Palette(From[X]);
                break;
            case 24:
                To[X] = TPixel(From[3 * X]) | TPixel(From[3 * X + 1]) << 8 | TPixel(From[3 * X + 2]) << 16 |
                        0xFF000000u;
                break;
            default: {
                uint32_t Word = H.BitCount == 16 ? uint32_t(From[2 * X]) | uint32_t(From[2 * X + 1]) << 8
                                                 : uint32_t(From[4 * X]) | uint32_t(From[4 * X + 1]) << 8 |
                                                       uint32_t(From[4 * X + 2]) << 16 |
                                                       uint32_t(From[4 * X + 3]) << 24;
                To[X] = Blue.Get(Word) | Green.Get(Word) << 8 | Red.Get(Word) << 16 | 0xFF000000u;
            }
            }
        }
    }
}

// Reads header, palette and pixels into Result. PixelOffset, when not
// negative, is where the pixels start in the stream (from the file header).
void ReadBitmap(TStream& Stream, int64_t PixelOffset, TPixels& Result) {
    TReader In{Stream};
    TBitmapHeader H = ReadHeader(In);
    if (H.Planes != 1)
        RaiseUnreadableBitmap();
    if (PixelOffset >= 0 && PixelOffset > Stream.Position() && PixelOffset <= Stream.Size())
        Stream.Seek(PixelOffset, TSeekOrigin::Beginning);
    int32_t Width = H.Width, Height = H.Height < 0 ? -H.Height : H.Height;
    bool Direct = H.BitCount == 32 && H.Height >= 0 &&
                  (H.Compression == CompressionRgb ||
                   (H.Compression == CompressionBitFields && H.Masks[0] == 0xFF0000 &&
                    H.Masks[1] == 0xFF00 && H.Masks[2] == 0xFF));
    if (Direct) {
        int64_t Bytes = int64_t(Width) * Height * 4;
        if (Stream.Remaining() < Bytes)
            RaiseUnreadableBitmap();
        Result.SetSize(Width, Height);
        Stream.ReadBuffer(Result.Buffer(), Bytes);
        Result.InvertAlpha();
        return;
    }
    bool Compressed = H.Compression == CompressionRle8 || H.Compression == CompressionRle4;
    bool KnownDepth = H.BitCount == 1 || H.BitCount == 4 || H.BitCount == 8 || H.BitCount == 16 ||
                      H.BitCount == 24 || H.BitCount == 32;
    if (!KnownDepth || (H.Compression == CompressionBitFields && H.BitCount != 16 && H.BitCount != 32) ||
        (!Compressed && H.Compression != CompressionRgb && H.Compression != CompressionBitFields))
        RaiseUnreadableBitmap();
    int64_t Bytes = Compressed ? int64_t(H.ImageSize) : int64_t((int64_t(Width) * H.BitCount + 31) / 32 * 4) * Height;
    if (Stream.Remaining() < Bytes)
        RaiseUnreadableBitmap();
    std::vector<uint8_t> Data(static_cast<size_t>(Bytes));
    Stream.ReadBuffer(Data.data(), Bytes);
    Result.SetSize(Width, Height);
    DecodeGeneral(H, Data, Result);
}

// Runs Read into a fresh raster and takes it over only when it succeeded; a
// short or failing stream becomes the unreadable-bitmap error.
template <class TRead>
void ReadInto(TPixels& Pixels, TRead&& Read) {
    TPixels Result;
    try {
        Read(Result);
    } catch (const EStreamError&) {
        RaiseUnreadableBitmap();
    }
    Pixels.Swap(Result);
}

} // namespace

void TPixels::ReadData(TStream& Stream) {
    ReadInto(*this, [&](TPixels& Result) { ReadBitmap(Stream, -1, Result); });
}

void TPixels::LoadFromStream(TStream& Stream) {
    ReadInto(*this, [&](TPixels& Result) {
        int64_t Start = Stream.Position();
        TReader In{Stream};
        if (In.Read<uint16_t>() != Signature)
            RaiseUnreadableBitmap();
        In.Read<uint32_t>(); // file size
        In.Read<uint32_t>(); // reserved
        uint32_t Offset = In.Read<uint32_t>();
        ReadBitmap(Stream, Start + Offset, Result);
    });
}

void TPixels::WriteData(TStream& Stream) const {
    uint32_t ImageBytes = uint32_t(BufferSize());
    TWriter Header;
    Header.Put<uint32_t>(InfoHeaderSize);
    Header.Put<int32_t>(FWidth);
    Header.Put<int32_t>(FHeight);
    Header.Put<uint16_t>(1);
    Header.Put<uint16_t>(32);
    Header.Put<uint32_t>(CompressionRgb);
    Header.Put<uint32_t>(ImageBytes);
    for (int I = 0; I < 4; ++I)
        Header.Put<uint32_t>(0);
    Stream.WriteBuffer(Header.Bytes.data(), int64_t(Header.Bytes.size()));
    // Every row is written with its alpha inverted through a row buffer: the
    // raster itself is never touched, so a failing stream leaves it whole.
    std::vector<TPixel> Row(static_cast<size_t>(FWidth));
    for (int32_t Y = FHeight - 1; Y >= 0; --Y) {
        const TPixel* From = RowPixels(Y);
        for (int32_t X = 0; X < FWidth; ++X)
            Row[size_t(X)] = From[X] ^ 0xFF000000u;
        Stream.WriteBuffer(Row.data(), int64_t(Row.size()) * 4);
    }
}

void TPixels::SaveToStream(TStream& Stream) const {
    TWriter Header;
    Header.Put<uint16_t>(Signature);
    Header.Put<uint32_t>(uint32_t(54 + BufferSize()));
    Header.Put<uint16_t>(0);
    Header.Put<uint16_t>(0);
    Header.Put<uint32_t>(54);
    Stream.WriteBuffer(Header.Bytes.data(), int64_t(Header.Bytes.size()));
    WriteData(Stream);
}
